# Makes the Windows zip and unpacks it into an empty folder, as a user would,
# then checks that it holds what the program needs beside it and nothing else.
# Arguments: BUILD (the build folder), FOLDER (where to unpack), ZIP (its name).
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP WORKING_DIRECTORY ${BUILD} RESULT_VARIABLE result
  OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed")
endif()
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${BUILD}/${ZIP}.zip WORKING_DIRECTORY ${FOLDER}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${ZIP}.zip does not unpack")
endif()
file(GLOB_RECURSE unpacked RELATIVE ${FOLDER} ${FOLDER}/*)
list(SORT unpacked)
set(expected LICENSE Quelmora.ini README.md billboard.dds effect.dds island.omd planetexture.dds quelmora.exe)
list(TRANSFORM expected PREPEND "${ZIP}/")
if(NOT unpacked STREQUAL expected)
  message(FATAL_ERROR "The zip holds\n  ${unpacked}\ninstead of\n  ${expected}")
endif()
file(SIZE ${BUILD}/${ZIP}.zip size)
message(STATUS "${ZIP}.zip: ${size} bytes: ${unpacked}")
