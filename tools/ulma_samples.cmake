# The sample render-data directory of the eight-colour renderer,
# ${MORVA6_SAMPLES_DIR}/ULMA_SAMPLE01_TC_03, written at build time by
# make_render_data: five temperature bands between the boundaries below, with
# its sample palettes and the colour LUT built for each.
set(ULMA_SAMPLE_LOT_DIRECTORY ULMA_SAMPLE01_TC_03)
set(ULMA_SAMPLE_LOT_NAME ULMA_SAMPLE01_TC)
set(ULMA_SAMPLE_BASE ULMA_SAMPLE01)
set(ULMA_SAMPLE_VERSION 03)
set(ULMA_SAMPLE_BOUNDARIES -10 0 10 25 40 60)

set(ulma_sample_dir ${MORVA6_SAMPLES_DIR}/${ULMA_SAMPLE_LOT_DIRECTORY})
set(ulma_sample_files ${ulma_sample_dir}/${ULMA_SAMPLE_LOT_NAME}.wbf)
set(previous "")
foreach(boundary IN LISTS ULMA_SAMPLE_BOUNDARIES)
  if(NOT previous STREQUAL "")
    foreach(kind lut data)
      list(APPEND ulma_sample_files
           ${ulma_sample_dir}/${ULMA_SAMPLE_BASE}_${kind}_${previous}Cto${boundary}C_${ULMA_SAMPLE_VERSION}.bin)
    endforeach()
  endif()
  set(previous ${boundary})
endforeach()

add_custom_command(
  OUTPUT ${ulma_sample_files}
  COMMAND ${MORVA6_RUN_make_render_data} ${MORVA6_SAMPLES_DIR} ${ULMA_SAMPLE_LOT_DIRECTORY} ${ULMA_SAMPLE_BOUNDARIES}
  DEPENDS make_render_data
  COMMENT "Writing the sample render-data directory ${ULMA_SAMPLE_LOT_DIRECTORY}"
  VERBATIM)
add_custom_target(ulma_samples ALL DEPENDS ${ulma_sample_files})
