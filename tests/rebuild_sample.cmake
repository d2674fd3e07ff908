# Rebuilds the sample image and fails unless it equals the one in the repository.
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "make_sample_image failed: ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SAMPLE} ${OUTPUT} RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "${SAMPLE} differs from what make_sample_image writes")
endif()
