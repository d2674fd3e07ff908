# Writes the page into OUTPUT: index.html and style.css as they are, and vornset.js
# with the WebAssembly module before it, in base64.
find_program(BASE64 base64 REQUIRED)
execute_process(COMMAND ${BASE64} -w0 ${MODULE} OUTPUT_VARIABLE encoded RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "base64 failed: ${status}")
endif()
file(MAKE_DIRECTORY ${OUTPUT})
file(COPY_FILE ${SOURCE}/index.html ${OUTPUT}/index.html)
file(COPY_FILE ${SOURCE}/style.css ${OUTPUT}/style.css)
file(READ ${SOURCE}/vornset.js script)
file(WRITE ${OUTPUT}/vornset.js "// The tool's core, compiled to WebAssembly from the same sources as the tool.\nconst VORNSET_CORE = \"${encoded}\";\n\n${script}")
