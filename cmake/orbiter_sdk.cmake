# Calvane.dll built against the simulator's own SDK: ORBITER_SDK_DIR names
# the simulator's Orbitersdk folder, whose include/ holds Orbitersdk.h and
# whose lib/ holds Orbiter.lib and Orbitersdk.lib. Only the module is built:
# simhost, its stand-in crew module and the tests belong to the stand-in.
#
# The simulator's VESSEL classes are C++ and their names are those of
# Microsoft's compiler, so the DLL is linked only by MSVC or clang-cl. Any
# other compiler still compiles the module's sources (the target
# calvane_objects), which shows that they need nothing the SDK lacks.
if(NOT EXISTS ${ORBITER_SDK_DIR}/include/Orbitersdk.h)
  message(FATAL_ERROR "ORBITER_SDK_DIR=${ORBITER_SDK_DIR} has no include/Orbitersdk.h: "
                      "name the simulator's Orbitersdk folder")
endif()

file(GLOB KVT_MODULE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/mill/*.cpp ${CMAKE_SOURCE_DIR}/cargo/*.cpp ${CMAKE_SOURCE_DIR}/crew/*.cpp)
add_library(calvane_objects OBJECT ${KVT_MODULE_SOURCES})
# The SDK is taken as published, like a system header; no folder of the
# module holds a header of the SDK's names (scripts/check-includes).
target_include_directories(calvane_objects SYSTEM PRIVATE ${ORBITER_SDK_DIR}/include)
target_include_directories(calvane_objects PRIVATE ${CMAKE_SOURCE_DIR}/module
  ${CMAKE_SOURCE_DIR}/mill ${CMAKE_SOURCE_DIR}/cargo ${CMAKE_SOURCE_DIR}/crew)
if(CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC")
  # fopen and sscanf are what the simulator's modules use; the module keeps
  # every copy within its buffer itself.
  target_compile_definitions(calvane_objects PRIVATE _CRT_SECURE_NO_WARNINGS)
  target_compile_options(calvane_objects PRIVATE /W4 /EHsc)
  add_library(calvane SHARED $<TARGET_OBJECTS:calvane_objects>)
  # Modules/ itself, also under Visual Studio's generator, which would add a
  # folder per configuration to a plain path.
  set_target_properties(calvane PROPERTIES OUTPUT_NAME Calvane
    RUNTIME_OUTPUT_DIRECTORY $<1:${CMAKE_BINARY_DIR}/Modules>)
  target_link_libraries(calvane PRIVATE ${ORBITER_SDK_DIR}/lib/Orbiter.lib ${ORBITER_SDK_DIR}/lib/Orbitersdk.lib)
  include(${CMAKE_SOURCE_DIR}/cmake/addon_package.cmake)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    kvt_add_addon_package(calvane windows-x64)
  else()
    kvt_add_addon_package(calvane windows-x86)
  endif()
else()
  target_compile_options(calvane_objects PRIVATE -Wall -Wextra)
  message(STATUS "Calvane.dll is linked by MSVC or clang-cl only; ${CMAKE_CXX_COMPILER_ID} compiles the "
                 "module's sources against the SDK (target calvane_objects)")
endif()
