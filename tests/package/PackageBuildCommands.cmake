# Checks that building the package target builds the program and nothing of the
# tests or the benchmarks, from the build tool's own list of the commands it
# would run for the package (up to date or not), without running any of them.
# Arguments: BUILD (the build folder), GENERATOR, MAKE_PROGRAM.
if(GENERATOR MATCHES "Ninja")
  set(dry_run ${MAKE_PROGRAM} -t commands package)
else()
  # -B takes every file as out of date; -n prints the commands instead of
  # running them (make still descends into the sub-makes, printing theirs).
  set(dry_run ${MAKE_PROGRAM} -n -B package)
endif()
execute_process(COMMAND ${dry_run} WORKING_DIRECTORY ${BUILD} RESULT_VARIABLE result OUTPUT_VARIABLE commands
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "The dry run of the package target failed:\n${errors}")
endif()
# Sure that the list is the real one: the program is compiled and packed.
foreach(expected "quelmora\\.dir[/\\\\]app[/\\\\]WinMain\\.cpp" "cpack")
  if(NOT commands MATCHES "${expected}")
    message(FATAL_ERROR "The package target's commands do not include ${expected}:\n${commands}")
  endif()
endforeach()
set(unwanted quelmora_tests quelmora_testsupport quelmora_winhelper _bench gtest)
foreach(target ${unwanted})
  string(REGEX MATCH "[^\n]*${target}[^\n]*" line "${commands}")
  if(line)
    message(FATAL_ERROR "Building the package builds ${target} too:\n${line}")
  endif()
endforeach()
message(STATUS "The package target builds the program and none of: ${unwanted}")
