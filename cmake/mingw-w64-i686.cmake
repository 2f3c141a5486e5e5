# Cross-builds the 32-bit Windows (x86) executable on Linux with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
# Only the wrapper that picks 32-bit Wine can run these.
set(WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
