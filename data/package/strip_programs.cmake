# Run by CPack on the staged files, before the package is made: the programs keep no
# symbols and none of the sections a package need not carry (.comment, .note), as Debian's
# own packages.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*")
if(NOT programs)
  message(FATAL_ERROR "no programs to strip below ${CPACK_TEMPORARY_DIRECTORY}")
endif()
find_program(STRIP_PROGRAM strip REQUIRED)
foreach(program IN LISTS programs)
  execute_process(COMMAND ${STRIP_PROGRAM} --strip-all --remove-section=.comment --remove-section=.note ${program}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "strip failed on ${program}")
  endif()
endforeach()
