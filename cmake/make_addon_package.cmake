# Lays out the add-on package as the simulator's folder and zips it:
# Modules/Calvane.dll, the vessel class, the mill's meshes, the cargo types
# it takes and makes with their meshes, its scenarios and the manual. The
# companion add-ons' files (the crew module, its version file, the cargo
# add-on's marker) are the player's own to install, and simhost is no part
# of the simulator: none of them goes in.
# cmake -DSOURCE_DIR= -DMODULE= -DVERSION= -DPYTHON= -DSTAGE= -DZIP= -P make_addon_package.cmake
set(sample ${SOURCE_DIR}/sample)
file(REMOVE_RECURSE ${STAGE})
file(COPY ${MODULE} DESTINATION ${STAGE}/Modules)
file(COPY ${sample}/Config/Vessels/Calvane.cfg DESTINATION ${STAGE}/Config/Vessels)
file(COPY ${sample}/Config/Vessels/UCGO/Cargos DESTINATION ${STAGE}/Config/Vessels/UCGO)
file(GLOB mill_meshes ${sample}/Meshes/KVT_OREMILL_*.msh)
file(COPY ${mill_meshes} ${sample}/Meshes/UCGO DESTINATION ${STAGE}/Meshes)
file(COPY "${sample}/Scenarios/KVT Mill/Mill on the Moon.scn" "${sample}/Scenarios/Cargo around the mill.scn"
     DESTINATION "${STAGE}/Scenarios/KVT Duz Ovov MkI")
file(MAKE_DIRECTORY ${STAGE}/Doc)
execute_process(COMMAND ${PYTHON} ${SOURCE_DIR}/scripts/render-manual --version ${VERSION}
                        ${SOURCE_DIR}/docs/manual/manual.md "${STAGE}/Doc/KVT Duz Ovov MkI.html"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the manual was not rendered (scripts/render-manual needs python3-markdown)")
endif()
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip Modules Config Meshes Scenarios Doc
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${ZIP} was not written")
endif()
message(STATUS "Wrote ${ZIP}")
