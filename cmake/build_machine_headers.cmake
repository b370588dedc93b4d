# Header-only libraries for a cross build, taken from the build machine's
# Debian packages (nlohmann-json3-dev, libcli11-dev) in /usr/include. The
# cross compiler must not see the rest of that folder, the build machine's
# own C library among it: each library's folder is linked alone into a
# folder of the build and that folder is the include path.
set(KVT_BUILD_MACHINE_HEADERS ${CMAKE_BINARY_DIR}/build-machine-headers)

# An imported target NAME whose include path holds /usr/include/FOLDER.
function(kvt_header_only_library name folder)
  if(TARGET ${name})
    return()
  endif()
  if(NOT IS_DIRECTORY /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/install-deps")
  endif()
  file(MAKE_DIRECTORY ${KVT_BUILD_MACHINE_HEADERS})
  if(NOT EXISTS ${KVT_BUILD_MACHINE_HEADERS}/${folder})
    file(CREATE_LINK /usr/include/${folder} ${KVT_BUILD_MACHINE_HEADERS}/${folder} SYMBOLIC)
  endif()
  add_library(${name} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${KVT_BUILD_MACHINE_HEADERS})
endfunction()
