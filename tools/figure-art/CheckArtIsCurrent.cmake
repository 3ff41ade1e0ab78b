# Runs the generator into OUTPUT_DIR and fails unless every file it writes
# is byte-for-byte the committed one in COMMITTED_DIR.
foreach(variable GENERATOR OUTPUT_DIR COMMITTED_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "CheckArtIsCurrent.cmake needs -D${variable}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${OUTPUT_DIR})
execute_process(COMMAND ${GENERATOR} ${OUTPUT_DIR} RESULT_VARIABLE generator_result)
if(NOT generator_result EQUAL 0)
  message(FATAL_ERROR "generate_figure_art failed: ${generator_result}")
endif()

foreach(name figure.bmp peerkin.ico)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT_DIR}/${name} ${COMMITTED_DIR}/${name}
    RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${COMMITTED_DIR}/${name} is not what the generator writes now; "
                        "rebuild the regenerate_figure_art target and commit the result")
  endif()
endforeach()
message(STATUS "figure.bmp and peerkin.ico match the generator")
