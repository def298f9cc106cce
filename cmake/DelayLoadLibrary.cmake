# Writes a delay-load import library for a DLL from its ordinary import
# library: every function the import library names, imported only when it is
# first called. Arguments: NM, DLLTOOL, IMPORT_LIBRARY, DLL, OUTPUT.
execute_process(COMMAND ${NM} -g --defined-only ${IMPORT_LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Cannot read ${IMPORT_LIBRARY}")
endif()
string(REGEX MATCHALL "[0-9a-fA-F]+ T [A-Za-z_][A-Za-z0-9_]*" functions "${symbols}")
set(definition "LIBRARY ${DLL}\nEXPORTS\n")
foreach(function ${functions})
  string(REGEX REPLACE ".* T " "" name "${function}")
  string(APPEND definition "  ${name}\n")
endforeach()
file(WRITE ${OUTPUT}.def "${definition}")
execute_process(COMMAND ${DLLTOOL} --def ${OUTPUT}.def --dllname ${DLL} --output-delaylib ${OUTPUT}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Cannot write ${OUTPUT}")
endif()
