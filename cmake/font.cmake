# The text font: Liberation Sans from Debian's fonts-liberation2, copied into Data so the
# window and headless runs measure text with the very same file.
set(DUSKWEND_FONT_SOURCE /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf)
set(DUSKWEND_FONT_BOLD_SOURCE /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf)
foreach(f ${DUSKWEND_FONT_SOURCE} ${DUSKWEND_FONT_BOLD_SOURCE})
  if(NOT EXISTS ${f})
    message(FATAL_ERROR "Font ${f} is missing: run scripts/install-deps")
  endif()
endforeach()
add_custom_command(
  OUTPUT ${DUSKWEND_DATA_DIR}/font.ttf ${DUSKWEND_DATA_DIR}/font-bold.ttf
  COMMAND ${CMAKE_COMMAND} -E copy ${DUSKWEND_FONT_SOURCE} ${DUSKWEND_DATA_DIR}/font.ttf
  COMMAND ${CMAKE_COMMAND} -E copy ${DUSKWEND_FONT_BOLD_SOURCE} ${DUSKWEND_DATA_DIR}/font-bold.ttf
  DEPENDS ${DUSKWEND_FONT_SOURCE} ${DUSKWEND_FONT_BOLD_SOURCE}
  COMMENT "Copying the text font into Data")
add_custom_target(duskwend_font ALL DEPENDS ${DUSKWEND_DATA_DIR}/font.ttf ${DUSKWEND_DATA_DIR}/font-bold.ttf)
