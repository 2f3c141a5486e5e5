# The part of the mingw-w64 toolchain files that does not depend on the target
# processor. The including file sets CMAKE_SYSTEM_PROCESSOR, TOOLCHAIN_PREFIX
# and WINE_NAMES (empty where the host's Wine cannot run the images).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Windows binaries built here run under Wine when CTest starts them.
if(WINE_NAMES)
  find_program(WINE_EXECUTABLE NAMES ${WINE_NAMES} PATHS /usr/lib/wine)
endif()
if(WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXECUTABLE})
endif()
