# Flags for kestrix.exe and everything linked into it: small, hardened, and
# byte-identical from one clean build to the next.
add_library(kestrix_release_flags INTERFACE)
target_compile_definitions(kestrix_release_flags INTERFACE
  _WIN32_WINNT=0x0A00 WIN32_LEAN_AND_MEAN NOMINMAX)

if(MSVC)
  target_compile_options(kestrix_release_flags INTERFACE $<$<COMPILE_LANGUAGE:CXX>:/Brepro /GS /guard:cf>)
  target_link_options(kestrix_release_flags INTERFACE
    /Brepro /DYNAMICBASE /HIGHENTROPYVA /NXCOMPAT /TSAWARE /GUARD:CF /OPT:REF /OPT:ICF
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
    -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat -Wl,--tsaware
    # ASLR needs the base relocations; zero the link timestamp for reproducibility.
    -Wl,--enable-reloc-section -Wl,--no-insert-timestamp)
endif()
