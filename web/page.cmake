# Writes the page into OUTPUT: index.html and style.css as they are, and vornset.js
# with the WebAssembly module before it, gzipped (without a name or a time, so that a
# build makes the same bytes), then in base64: the page stays well under 100 KiB.
find_program(GZIP gzip REQUIRED)
find_program(BASE64 base64 REQUIRED)
execute_process(COMMAND ${GZIP} -9 -n -c ${MODULE} COMMAND ${BASE64} -w0
    OUTPUT_VARIABLE encoded RESULTS_VARIABLE statuses)
if(NOT statuses STREQUAL "0;0")
    message(FATAL_ERROR "gzip or base64 failed: ${statuses}")
endif()
file(MAKE_DIRECTORY ${OUTPUT})
file(COPY_FILE ${SOURCE}/index.html ${OUTPUT}/index.html)
file(COPY_FILE ${SOURCE}/style.css ${OUTPUT}/style.css)
file(READ ${SOURCE}/vornset.js script)
file(WRITE ${OUTPUT}/vornset.js "// The tool's core, compiled to WebAssembly from the same sources as the tool.\nconst VORNSET_CORE = \"${encoded}\";\n\n${script}")
