# Builds the module with -DORBITER_SDK_DIR against a folder laid out like the
# simulator's Orbitersdk: include/ with only the simulator-side headers of
# host/, lib/ with empty libraries (MSVC, which would link them, is not here).
# cmake -DSOURCE_DIR=... -DWORK_DIR=... -DCXX=... -P sdk_build.cmake
set(sdk ${WORK_DIR}/Orbitersdk)
file(REMOVE_RECURSE ${WORK_DIR})
file(GLOB headers ${SOURCE_DIR}/host/*.h)
file(COPY ${headers} DESTINATION ${sdk}/include)
file(MAKE_DIRECTORY ${sdk}/lib)
file(TOUCH ${sdk}/lib/Orbiter.lib ${sdk}/lib/Orbitersdk.lib)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G Ninja
  -DORBITER_SDK_DIR=${sdk} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring with ORBITER_SDK_DIR failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build --target calvane_objects RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the module's sources do not compile against the SDK's headers alone")
endif()
