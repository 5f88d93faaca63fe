# The fuzz targets, three words each: the target's name, its source in
# fuzz/ and the library it drives. Included by fuzz/CMakeLists.txt (libFuzzer
# programs) and by the corpus replay test, which runs every file of
# tests/corpus/<name>/ through the same entry function.
set(MORVA6_FUZZ_TARGETS
    bmp_read             bmp_read.cpp           morva6_sample
    bmp_stream           bmp_stream.cpp         morva6_sample
    image_ppm            image_ppm.cpp          morva6_sample
    image_pgm            image_pgm.cpp          morva6_sample
    morva6_lut           morva6_lut.cpp         morva6_sample
    morva6_arguments     morva6_arguments.cpp   morva6_sample
    morva6_pipeline      morva6_pipeline.cpp    morva6_sample
    ulma_ppm             ulma_ppm.cpp           ulma_core
    ulma_waveform        ulma_waveform.cpp      ulma_core
    ulma_palette         ulma_palette.cpp       ulma_core
    ulma_lut             ulma_lut.cpp           ulma_core
    ulma03_lut           ulma03_lut.cpp          ulma_core
    ulma_command_line    ulma_command_line.cpp  ulma_core
    ulma03_command_line  ulma03_command_line.cpp ulma_core
    ulma_pipeline        ulma_pipeline.cpp      ulma_core
    ulma03_pipeline      ulma03_pipeline.cpp    ulma_core
    palette_text         palette_text.cpp       common
    render_data_folder   render_data_folder.cpp ulma_core
)
# photo2panel's picture loading, where libvips is found.
if(TARGET photo2panel_picture)
  list(APPEND MORVA6_FUZZ_TARGETS
    photo2panel_picture  photo2panel_picture.cpp photo2panel_picture
  )
endif()
