# Cross-builds the 32-bit Windows (x86) executable on Linux with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
# No emulator: 32-bit programs run in the i386 tree, through scripts/wine-session.
set(WINE_NAMES "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
