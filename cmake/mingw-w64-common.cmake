# The part of the mingw-w64 toolchain files that does not depend on the target
# processor. The including file sets CMAKE_SYSTEM_PROCESSOR, TOOLCHAIN_PREFIX
# and WINE_RUN_OPTIONS (how scripts/wine-session runs that processor's programs).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# CTest runs the Windows programs built here under Wine, in the build tree's own
# session: a private display and prefix that the tests' fixtures start and stop.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH KESTRIX_SOURCE_DIR)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${KESTRIX_SOURCE_DIR}/scripts/wine-session run ${CMAKE_BINARY_DIR}/wine-session
    ${WINE_RUN_OPTIONS})
