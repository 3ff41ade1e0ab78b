# Runs the generator into OUTPUT_DIR and fails unless every file it writes is
# byte-for-byte the committed one: the picture and the Windows icon in
# COMMITTED_DIR, the desktop icons in COMMITTED_ICONS_DIR. A committed icon
# that the generator no longer writes fails too.
foreach(variable GENERATOR OUTPUT_DIR COMMITTED_DIR COMMITTED_ICONS_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "CheckArtIsCurrent.cmake needs -D${variable}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${OUTPUT_DIR})
execute_process(COMMAND ${GENERATOR} ${OUTPUT_DIR} ${OUTPUT_DIR}/icons RESULT_VARIABLE generator_result)
if(NOT generator_result EQUAL 0)
  message(FATAL_ERROR "generate_figure_art failed: ${generator_result}")
endif()

file(GLOB written_icons RELATIVE ${OUTPUT_DIR}/icons ${OUTPUT_DIR}/icons/*.png)
file(GLOB committed_icons RELATIVE ${COMMITTED_ICONS_DIR} ${COMMITTED_ICONS_DIR}/*.png)
if(NOT written_icons STREQUAL committed_icons)
  message(FATAL_ERROR "${COMMITTED_ICONS_DIR} holds [${committed_icons}], the generator writes "
                      "[${written_icons}]; rebuild the regenerate_figure_art target and commit the result")
endif()

function(require_same generated committed)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${generated} ${committed} RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${committed} is not what the generator writes now; "
                        "rebuild the regenerate_figure_art target and commit the result")
  endif()
endfunction()

foreach(name figure.bmp peerkin.ico)
  require_same(${OUTPUT_DIR}/${name} ${COMMITTED_DIR}/${name})
endforeach()
foreach(icon IN LISTS written_icons)
  require_same(${OUTPUT_DIR}/icons/${icon} ${COMMITTED_ICONS_DIR}/${icon})
endforeach()
list(LENGTH written_icons icon_count)
message(STATUS "figure.bmp, peerkin.ico and ${icon_count} desktop icons match the generator")
