# Writes the zip's text files with Windows line ends: README.txt, the manual page
# rendered as plain text, and the licence.
execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou ${SOURCE}/vornset.1
    OUTPUT_VARIABLE manual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "groff failed: ${status}")
endif()
file(READ ${SOURCE}/packaging/README.txt readme)
file(READ ${SOURCE}/LICENSE licence)
foreach(pair "readme=README.txt" "manual=vornset.txt" "licence=LICENSE.txt")
    string(REPLACE "=" ";" pair ${pair})
    list(GET pair 0 variable)
    list(GET pair 1 name)
    string(REPLACE "\n" "\r\n" text "${${variable}}")
    file(WRITE ${OUTPUT}/${name} "${text}")
endforeach()
