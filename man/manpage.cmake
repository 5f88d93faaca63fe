# Writes one manual page: a template with the hand-written sections, and the
# program's own --help text in place of the line @HELP@, so that the page
# never disagrees with the program. Run with cmake -P and
#   -DPROGRAM=<the built program> -DNAME=<its installed name>
#   -DTEMPLATE=<name.1.in> -DOUTPUT=<name.1> -DVERSION=<package version>
# and, in a cross build, -DEMULATOR=<the command that runs target programs,
# its words separated by "|">.
cmake_minimum_required(VERSION 3.25)

# Some programs print their usage with a non-zero status; only the text counts.
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
execute_process(COMMAND ${EMULATOR} ${PROGRAM} --help OUTPUT_VARIABLE help ERROR_VARIABLE help_errors)
if(help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help printed nothing: ${help_errors}")
endif()
# The program names itself as it was called: the build tree's path.
string(REPLACE "${PROGRAM}" "${NAME}" help "${help}")
# Plain text as roff: backslashes and minus signs escaped, no line taken for
# a request, trailing blanks dropped.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "[ \t]+\n" "\n" help "${help}")
string(REGEX REPLACE "\n+$" "" help "${help}")
string(REGEX REPLACE "^\n+" "" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")

file(READ ${TEMPLATE} page)
string(REPLACE "@HELP@" ".nf\n${help}\n.fi" page "${page}")
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
file(WRITE ${OUTPUT}.part "${page}")
file(RENAME ${OUTPUT}.part ${OUTPUT})
