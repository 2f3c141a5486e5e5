# Cross-builds the 64-bit Windows (x86-64) executable on Linux with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
# The 64-bit loader itself: the `wine` wrapper picks 32-bit Wine wherever it is installed.
set(WINE_NAMES wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
