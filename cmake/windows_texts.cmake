# Writes the zip's text files with Windows line ends: README.txt with the version,
# the manual page rendered as plain text, and the licence.
execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou ${MANUAL}
    OUTPUT_VARIABLE manual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "groff failed: ${status}")
endif()
set(PROJECT_VERSION ${VERSION})
file(READ ${SOURCE}/packaging/README.txt.in readme)
string(CONFIGURE "${readme}" readme @ONLY)
file(READ ${SOURCE}/LICENSE licence)
foreach(pair "readme=README.txt" "manual=vornset.txt" "licence=LICENSE.txt")
    string(REPLACE "=" ";" pair ${pair})
    list(GET pair 0 variable)
    list(GET pair 1 name)
    string(REPLACE "\n" "\r\n" text "${${variable}}")
    file(WRITE ${OUTPUT}/${name} "${text}")
endforeach()
