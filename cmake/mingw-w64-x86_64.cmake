# Cross build for 64-bit Windows with Debian's MinGW-w64 (packages
# g++-mingw-w64-x86-64-posix, mingw-w64-x86-64-dev, binutils-mingw-w64-x86-64):
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The posix flavour of the compiler is the one whose C++ runtime has
# std::thread and std::mutex; the runtime is linked in statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(ORBALIS_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORBALIS_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORBALIS_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORBALIS_MINGW_PREFIX}-windres)
set(CMAKE_AR ${ORBALIS_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${ORBALIS_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${ORBALIS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
