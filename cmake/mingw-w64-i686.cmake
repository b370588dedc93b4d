# 32-bit Windows (PE32), the simulator's own kind of process, built with
# mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KVT_MINGW_TRIPLE i686-w64-mingw32)
# Floating point in SSE2 registers, as in the 64-bit builds (see
# linux-x86.cmake).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
