# Checks that what prints or stores the version says the project's: the tool's
# --version and the manual page's header. The changelog is checked when the project
# is configured.
execute_process(COMMAND ${TOOL} --version OUTPUT_VARIABLE printed RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT printed MATCHES "^vornset ${VERSION}\n")
    message(FATAL_ERROR "vornset --version printed \"${printed}\" (status ${status}), not version ${VERSION}")
endif()
file(STRINGS ${MANUAL} header LIMIT_COUNT 1)
if(NOT header MATCHES "^\\.TH VORNSET 1 [0-9-]+ \"vornset ${VERSION}\" ")
    message(FATAL_ERROR "the manual's header, ${header}, is not for version ${VERSION}")
endif()
message(STATUS "version ${VERSION} everywhere")
