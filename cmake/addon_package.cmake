# The add-on package that players unpack over the simulator's folder:
# KVT-Duz-Ovov-MkI-<version>-<platform>.zip in the build folder, made by the
# target addon_package (cmake/make_addon_package.cmake lays it out). The
# version is the project's.
# Debian's Python, which carries python3-markdown for the manual.
find_program(KVT_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
function(kvt_add_addon_package module_target platform)
  set(name KVT-Duz-Ovov-MkI-${PROJECT_VERSION}-${platform})
  add_custom_target(addon_package
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DMODULE=$<TARGET_FILE:${module_target}>
            -DVERSION=${PROJECT_VERSION} -DPYTHON=${KVT_PYTHON3} -DSTAGE=${CMAKE_BINARY_DIR}/package/${name}
            -DZIP=${CMAKE_BINARY_DIR}/${name}.zip -P ${CMAKE_SOURCE_DIR}/cmake/make_addon_package.cmake
    DEPENDS ${module_target}
    COMMENT "Packing ${name}.zip"
    VERBATIM)
endfunction()
