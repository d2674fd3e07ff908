# Run by CPack on the staged files before it archives them. Every file and folder gets
# the time in SOURCE_DATE_EPOCH, where it is set, so that archives of one commit do
# not depend on when or where they were built; binaries lose the compiler's notes,
# which Debian does not ship.
file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(path IN LISTS staged)
    if(CPACK_GENERATOR STREQUAL "DEB" AND path MATCHES "/bin/[^/]+$")
        execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${path}
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        execute_process(COMMAND touch -h -d @$ENV{SOURCE_DATE_EPOCH} ${path} COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
