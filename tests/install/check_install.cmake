# Checks the installed package the way a user meets it. Run with cmake -P and
#   -DSTEP=install|find_package|pkg_config
#   -DBUILD_DIR=<this build> -DWORK_DIR=<scratch folder>
#   -DEXAMPLE_SOURCE=<examples/convert_and_render.c> -DCONSUMER_DIR=<consumer project>
#   -DTEST_DATA=<example_test_data program> -DC_COMPILER=<cc> -DC_FLAGS=<extra flags>
#   -DEIGHT_COLOURS_SOURCE=<examples/render_eight_colours.c>
#   -DSAME_AS_PROGRAM=<examples/same_as_program.cmake> -DPICTURE=<a .ppm picture>
#   -DMANUALS=<the programs that have a manual page>
# install:      cmake --install of the build into WORK_DIR/prefix.
# find_package: builds the examples against it with find_package(Morva6), runs
#               the six-ink one on a small picture and LUT file and checks the
#               result, and the eight-colour one against the installed
#               ulmarender -p with the installed sample render data.
# pkg_config:   the same, compiled by hand with the flags of morva6.pc and ulma.pc.
# manuals:      every program's manual page is installed and man renders it
#               without a warning, with its --help text.
cmake_minimum_required(VERSION 3.25)

set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

# The installed library's folder (lib, lib64 or a multiarch folder).
function(find_library_dir result)
  file(GLOB_RECURSE libraries ${prefix}/libmorva6.so)
  if(NOT libraries)
    message(FATAL_ERROR "libmorva6.so is not installed under ${prefix}")
  endif()
  list(GET libraries 0 library)
  get_filename_component(dir ${library} DIRECTORY)
  set(${result} ${dir} PARENT_SCOPE)
endfunction()

# Runs the example built at `program` on fresh inputs and checks its output
# (a 13 x 7 picture turned and doubled: 14 x 26, only the LUT's six inks).
function(run_example program run_dir library_path)
  file(REMOVE_RECURSE ${run_dir})
  file(MAKE_DIRECTORY ${run_dir})
  run(${TEST_DATA} make ${run_dir}/input.bmp ${run_dir}/panel.lut)
  # The library is found through the program's run path (CMake) or, for the
  # hand-built program, through LD_LIBRARY_PATH.
  run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${library_path}
      ${program} ${run_dir}/input.bmp ${run_dir}/panel.lut ${run_dir}/output.bmp)
  run(${TEST_DATA} check ${run_dir}/output.bmp 14 26)
endfunction()

# Runs the eight-colour example built at `program` and the installed
# ulmarender -p on the same picture; both must write the same files.
function(run_eight_colours program run_dir library_path)
  file(GLOB_RECURSE waveform ${prefix}/ULMA_SAMPLE01_TC.wbf)
  get_filename_component(data ${waveform} DIRECTORY)
  run(${CMAKE_COMMAND} -DPROGRAM=${prefix}/bin/ulmarender -DEXAMPLE=${program} -DPICTURE=${PICTURE}
      -DDATA=${data} -DTEMP=25 -DWORK=${run_dir} -DLIBRARY_PATH=${library_path} -P ${SAME_AS_PROGRAM})
endfunction()

if(STEP STREQUAL "install")
  file(REMOVE_RECURSE ${WORK_DIR})
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
  foreach(file include/morva6/morva6.h include/morva6/morva6_image.h include/ulma/ulma.h bin/Morva6_render bin/ulmarender
          bin/ulmarender03)
    if(NOT EXISTS ${prefix}/${file})
      message(FATAL_ERROR "${file} is not installed")
    endif()
  endforeach()
  file(GLOB_RECURSE config ${prefix}/Morva6Config.cmake)
  file(GLOB_RECURSE pc ${prefix}/morva6.pc)
  file(GLOB_RECURSE ulma_pc ${prefix}/ulma.pc)
  if(NOT config OR NOT pc OR NOT ulma_pc)
    message(FATAL_ERROR "the CMake package, morva6.pc or ulma.pc is not installed")
  endif()

elseif(STEP STREQUAL "find_package")
  set(build ${WORK_DIR}/consumer-build)
  file(REMOVE_RECURSE ${build})
  run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${build} -DCMAKE_PREFIX_PATH=${prefix}
      -DCMAKE_C_COMPILER=${C_COMPILER} "-DCMAKE_C_FLAGS=${C_FLAGS}" -DEXAMPLE_SOURCE=${EXAMPLE_SOURCE}
      -DEIGHT_COLOURS_SOURCE=${EIGHT_COLOURS_SOURCE})
  run(${CMAKE_COMMAND} --build ${build})
  run_example(${build}/convert_and_render ${WORK_DIR}/run-find_package "")
  run_eight_colours(${build}/render_eight_colours ${WORK_DIR}/eight-find_package "")

elseif(STEP STREQUAL "pkg_config")
  file(GLOB_RECURSE pc ${prefix}/morva6.pc)
  list(GET pc 0 pc)
  get_filename_component(pc_dir ${pc} DIRECTORY)
  run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir} pkg-config --cflags --libs morva6 ulma)
  string(STRIP "${run_output}" flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  separate_arguments(extra UNIX_COMMAND "${C_FLAGS}")
  set(program ${WORK_DIR}/convert_and_render_pc)
  run(${C_COMPILER} ${extra} ${EXAMPLE_SOURCE} -o ${program} ${flags})
  find_library_dir(library_dir)
  run_example(${program} ${WORK_DIR}/run-pkg_config ${library_dir})
  set(eight ${WORK_DIR}/render_eight_colours_pc)
  run(${C_COMPILER} ${extra} ${EIGHT_COLOURS_SOURCE} -o ${eight} ${flags})
  run_eight_colours(${eight} ${WORK_DIR}/eight-pkg_config ${library_dir})

elseif(STEP STREQUAL "manuals")
  foreach(program IN LISTS MANUALS)
    set(page ${prefix}/share/man/man1/${program}.1)
    if(NOT EXISTS ${page})
      message(FATAL_ERROR "no manual page ${page}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings=w -l ${page}
                    RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
    string(TOUPPER "${program}" title)
    if(NOT status EQUAL 0 OR NOT warnings STREQUAL "" OR NOT text MATCHES "^${title}\\(1\\).*\n(OPTIONS|USAGE)\n"
       OR text MATCHES "@HELP@|@VERSION@")
      message(FATAL_ERROR "man -l ${page} (status ${status}):\n${warnings}\n${text}")
    endif()
    if(program STREQUAL "make_render_data" AND NOT text MATCHES "palette order \\(black, white, yellow, red, blue,")
      message(FATAL_ERROR "make_render_data --help does not name the palette order")
    endif()
  endforeach()

else()
  message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()
