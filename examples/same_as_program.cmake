# Runs `ulmarender -p` and the render_eight_colours example on the same
# picture and checks that both write the same PGM and proof image. Run with
# cmake -P and -DPROGRAM=<ulmarender> -DEXAMPLE=<example> -DPICTURE=<.ppm>
# -DDATA=<render-data folder> -DTEMP=<degrees> -DWORK=<scratch folder>
# [-DLIBRARY_PATH=<folder of libulma>].
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(command "${PROGRAM};-p;${PICTURE};${WORK}/program.pgm;${DATA};${TEMP}"
                "${EXAMPLE};${PICTURE};${WORK}/example.pgm;${DATA};${TEMP}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${LIBRARY_PATH} ${command}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${command}\n${out}\n${err}")
  endif()
endforeach()
foreach(pair "program.pgm;example.pgm" "program_proof.ppm;example_proof.ppm")
  list(GET pair 0 theirs)
  list(GET pair 1 ours)
  file(SHA256 ${WORK}/${theirs} expected)
  file(SHA256 ${WORK}/${ours} actual)
  if(NOT expected STREQUAL actual)
    message(FATAL_ERROR "${ours} differs from ulmarender's ${theirs}")
  endif()
endforeach()
