# Flags for kestrix.exe and everything linked into it: small, hardened, and
# byte-identical from one clean build to the next.
add_library(kestrix_release_flags INTERFACE)
# Windows 7 is the oldest supported system: newer APIs stay out of reach.
target_compile_definitions(kestrix_release_flags INTERFACE
  _WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)

# High-entropy ASLR exists for 64-bit images only.
set(KESTRIX_64_BIT $<STREQUAL:${KESTRIX_PLATFORM},win64>)

if(MSVC)
  target_compile_options(kestrix_release_flags INTERFACE $<$<COMPILE_LANGUAGE:CXX>:/Brepro /GS /guard:cf>)
  target_link_options(kestrix_release_flags INTERFACE
    /Brepro /DYNAMICBASE /NXCOMPAT /TSAWARE $<${KESTRIX_64_BIT}:/HIGHENTROPYVA>
    # These clash with the incremental linking of Debug builds.
    "$<$<NOT:$<CONFIG:Debug>>:/GUARD:CF;/OPT:REF;/OPT:ICF>"
    # The execution level comes from our own manifest, not a second one.
    /MANIFESTUAC:NO)
else()
  # No build path may reach the image, whatever folder it was built in.
  target_compile_options(kestrix_release_flags INTERFACE $<$<COMPILE_LANGUAGE:CXX>:
    -Os -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=.>)
  target_link_options(kestrix_release_flags INTERFACE
    # One self-contained file: no libstdc++, libgcc or winpthread DLLs beside it.
    -static -static-libgcc -static-libstdc++
    -s -Wl,--gc-sections
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware $<${KESTRIX_64_BIT}:-Wl,--high-entropy-va>
    # Windows 7 (6.1) as the oldest system: older ones refuse the file plainly.
    -Wl,--major-subsystem-version,6,--minor-subsystem-version,1
    -Wl,--major-os-version,6,--minor-os-version,1
    # ASLR needs the base relocations; zero the link timestamp for reproducibility.
    -Wl,--enable-reloc-section -Wl,--no-insert-timestamp)
endif()
