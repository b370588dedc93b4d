# 32-bit Windows (PE32), the simulator's own kind of process, built with
# mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KVT_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
