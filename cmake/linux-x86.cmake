# A 32-bit Linux build (g++ -m32, from Debian's g++-multilib): the whole
# system, simhost and the tests as one 32-bit program, the kind of process
# the crew module's shared table was laid out for.
#
# Floating point in SSE2 registers, as the 64-bit builds and the
# simulator's own 32-bit compiler do it: the x87 unit's longer
# intermediates would round results (positions, masses) differently.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
# Debian's 32-bit libraries for a 64-bit machine (g++-multilib,
# lib32ncurses-dev) lie in /usr/lib32; pkg-config would only name the
# machine's own.
set(CMAKE_LIBRARY_PATH /usr/lib32)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib32/pkgconfig)
