# Cross-builds the 32-bit Windows (x86) executable on Linux with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
# 32-bit programs run in the i386 tree's Wine (scripts/i386-tree).
set(WINE_RUN_OPTIONS --32-bit)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
