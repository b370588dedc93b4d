# Can this build run what it builds? Sets KVT_RUNS_BUILT_PROGRAMS, and for a
# Windows build the Wine loader that CTest runs its programs through.
#
# A machine of our kind may run no 32-bit program at all: there the 32-bit
# builds are still made whole, but nothing of theirs may run while building
# (GoogleTest's discovery runs each suite right after linking it), and
# scripts/run-tests and scripts/run-windows build them without running them.
# The answers come from the scripts those stages use, so the build and the
# stages agree.
set(KVT_RUNS_BUILT_PROGRAMS ON)
if(WIN32 AND CMAKE_CROSSCOMPILING)
  # The 64-bit build under the 64-bit loader, found by name: /usr/bin/wine
  # would pick the 32-bit one whenever wine32 is installed.
  math(EXPR kvt_bits "${CMAKE_SIZEOF_VOID_P} * 8")
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-loader ${kvt_bits} ${CMAKE_BINARY_DIR}
    OUTPUT_VARIABLE kvt_wine OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_VARIABLE kvt_why ERROR_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE kvt_no_wine)
  if(kvt_no_wine)
    set(KVT_RUNS_BUILT_PROGRAMS OFF)
    message(STATUS "Built, not run: ${kvt_why}")
  else()
    set(CMAKE_CROSSCOMPILING_EMULATOR ${kvt_wine})
    message(STATUS "Windows programs run under ${kvt_wine}")
  endif()
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/can-run-32bit ${CMAKE_BINARY_DIR}
    OUTPUT_VARIABLE kvt_why OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE kvt_cannot)
  if(kvt_cannot)
    set(KVT_RUNS_BUILT_PROGRAMS OFF)
    message(STATUS "Built, not run: ${kvt_why}")
  endif()
endif()
