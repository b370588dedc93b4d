# GoogleTest compiled with this build's compiler from the sources of
# Debian's package googletest, for builds whose compiler cannot use the
# machine's own libgtest (g++ -m32, mingw-w64). It provides the targets
# GTest::gtest and GTest::gtest_main, as find_package(GTest) would.
set(KVT_GOOGLETEST_SOURCE /usr/src/googletest)
if(NOT EXISTS ${KVT_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "${KVT_GOOGLETEST_SOURCE} is missing: run scripts/install-deps (package googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${KVT_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Its own code is not ours to hold to our warnings.
foreach(target gtest gtest_main)
  set_target_properties(${target} PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
  target_compile_options(${target} PRIVATE -w)
endforeach()
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
