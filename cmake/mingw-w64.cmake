# Cross-building for Windows with Debian's mingw-w64 (the packages
# g++-mingw-w64-x86-64-posix and g++-mingw-w64-i686-posix). Included by the
# two toolchain files beside it, which set KVT_MINGW_TRIPLE.
#
# The posix flavour of the compiler is taken because simhost uses the
# standard library's threads and mutexes, which the win32 flavour of this
# compiler version lacks. The built programs run under Wine here, through
# the loader that cmake/run_built_programs.cmake names for the build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KVT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KVT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KVT_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KVT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

