# Sample data of the six-ink renderer, made at build time in
# ${MORVA6_SAMPLES_DIR}: the two LUT files the usage text names, the
# generated sample pictures and the bundled photographs, each at 800 x 480
# and 1600 x 1200 as BMP and PPM.
# Both LUT files carry the LUT builder's measured ink colours of a six-ink
# panel (dark, muted inks; a paper white far below 255):
#   v1: the identity table, every colour aimed at as it is. Colours the inks
#       cannot mix leave large errors for the dithering to spread.
#   v2: the ink-mixing table: every colour aimed at the sRGB average of the
#       ink proportions that mix it (or the closest colour the inks can mix)
#       in linear light, as the panel's dots mix to the eye.
#   v2_floyd, v2_jarvis, v2_stucki: the same table made for one kernel, its
#       own rounding measured by running it (serpentine; the plain scan
#       rounds alike); photo2panel takes the one of its --dither.
set(MORVA6_SAMPLE_LUT_V1 ${MORVA6_SAMPLES_DIR}/Morva6_Render_LUT_Default_v1.bin)
set(MORVA6_SAMPLE_LUT_V2 ${MORVA6_SAMPLES_DIR}/Morva6_Render_LUT_Default_v2.bin)
add_custom_command(
    OUTPUT ${MORVA6_SAMPLE_LUT_V1}
    COMMAND ${MORVA6_RUN_morva6_lut_builder} --identity -o ${MORVA6_SAMPLE_LUT_V1}
    DEPENDS morva6_lut_builder
    COMMENT "Writing the sample LUT file v1 (identity table)"
    VERBATIM)
add_custom_command(
    OUTPUT ${MORVA6_SAMPLE_LUT_V2}
    COMMAND ${MORVA6_RUN_morva6_lut_builder} -o ${MORVA6_SAMPLE_LUT_V2}
    DEPENDS morva6_lut_builder
    COMMENT "Writing the sample LUT file v2 (ink-mixing table)"
    VERBATIM)
set(MORVA6_SAMPLE_LUTS ${MORVA6_SAMPLE_LUT_V1} ${MORVA6_SAMPLE_LUT_V2})
foreach(kernel_method floyd:2 jarvis:4 stucki:6)
  string(REPLACE ":" ";" kernel_method ${kernel_method})
  list(GET kernel_method 0 kernel)
  list(GET kernel_method 1 method)
  set(lut ${MORVA6_SAMPLES_DIR}/Morva6_Render_LUT_Default_v2_${kernel}.bin)
  add_custom_command(
      OUTPUT ${lut}
      COMMAND ${MORVA6_RUN_morva6_lut_builder} --method ${method} -o ${lut}
      DEPENDS morva6_lut_builder
      COMMENT "Writing the sample LUT file v2 for the ${kernel} kernel"
      VERBATIM)
  list(APPEND MORVA6_SAMPLE_LUTS ${lut})
endforeach()

file(GLOB MORVA6_SAMPLE_PHOTOS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/samples/photos/*.ppm)
# Every picture at both sizes: the generated ones, and each photograph
# fitted to the size (its own size suffix dropped from its name).
set(MORVA6_SAMPLE_NAMES chart sweeps detail skin sample)
foreach(photo ${MORVA6_SAMPLE_PHOTOS})
  get_filename_component(name ${photo} NAME_WE)
  string(REGEX REPLACE "_[0-9]+x[0-9]+$" "" name ${name})
  list(APPEND MORVA6_SAMPLE_NAMES ${name})
endforeach()
set(MORVA6_SAMPLE_PICTURES)
foreach(size 800x480 1600x1200)
  foreach(name ${MORVA6_SAMPLE_NAMES})
    list(APPEND MORVA6_SAMPLE_PICTURES
         ${MORVA6_SAMPLES_DIR}/${name}_${size}.bmp ${MORVA6_SAMPLES_DIR}/${name}_${size}.ppm)
  endforeach()
endforeach()
add_custom_command(
    OUTPUT ${MORVA6_SAMPLE_PICTURES}
    COMMAND ${MORVA6_RUN_make_sample_pictures} ${MORVA6_SAMPLES_DIR} ${MORVA6_SAMPLE_PHOTOS}
    DEPENDS make_sample_pictures ${MORVA6_SAMPLE_PHOTOS}
    COMMENT "Writing the sample pictures"
    VERBATIM)

add_custom_target(morva6_samples ALL DEPENDS ${MORVA6_SAMPLE_LUTS} ${MORVA6_SAMPLE_PICTURES})
