# Cross-builds the 64-bit Windows (x86-64) executable on Linux with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(WINE_RUN_OPTIONS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
