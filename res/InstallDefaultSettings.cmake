# Puts the default window layout beside the program, unless the user already
# has a layout there: a user's own Quelmora.ini is never overwritten.
if(NOT EXISTS "${DESTINATION}")
  configure_file("${SOURCE}" "${DESTINATION}" COPYONLY)
endif()
