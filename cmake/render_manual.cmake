# Renders the manual page as plain text, for systems without man.
execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou ${MANUAL} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "groff failed: ${status}")
endif()
