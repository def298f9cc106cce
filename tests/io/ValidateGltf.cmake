# Runs quelmora_tests' glTF export of a painted, raised map with planes, with
# the file written to OUT/painted-map.glb (and the map's picture beside it),
# then the Khronos glTF-Validator on it. Fails when the export fails or the
# report has any error; the report is left beside the file
# (painted-map.report.json).
# FILTER and SAMPLE name another test and the file it leaves (SAMPLE.glb);
# STRICT fails on warnings too.
#   cmake -DEMULATOR=... -DTESTS=... -DNODE=... -DVALIDATOR=... -DOUT=... [-DFILTER=... -DSAMPLE=...]
#         [-DSTRICT=ON] -P ValidateGltf.cmake
if(NOT NODE OR NOT EXISTS "${VALIDATOR}")
  message(FATAL_ERROR "The glTF-Validator is not installed (node: '${NODE}', runner: '${VALIDATOR}'); "
                      "scripts/test installs it.")
endif()
if(NOT FILTER)
  set(FILTER MapImportExportTest.APaintedRaisedMapWithPlanesExportsAsGltf)
  set(SAMPLE painted-map)
endif()
file(MAKE_DIRECTORY "${OUT}")
set(sample "${OUT}/${SAMPLE}.glb")
file(REMOVE "${sample}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QUELMORA_EXPORT_SAMPLES=${OUT}
          ${EMULATOR} ${TESTS} --gtest_filter=${FILTER}
  RESULT_VARIABLE exported)
if(NOT exported EQUAL 0 OR NOT EXISTS "${sample}")
  message(FATAL_ERROR "The export of ${SAMPLE} failed (${exported}).")
endif()
set(strictness)
if(STRICT)
  set(strictness --strict)
endif()
execute_process(COMMAND ${NODE} ${VALIDATOR} ${sample} ${OUT}/${SAMPLE}.report.json ${strictness}
                RESULT_VARIABLE valid)
if(NOT valid EQUAL 0)
  message(FATAL_ERROR "The glTF-Validator does not pass ${sample}: see ${OUT}/${SAMPLE}.report.json.")
endif()
