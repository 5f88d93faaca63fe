// The command line of the renderer. Version 0302 (ulmarender) takes its four
// positional words from the end and the options -p, -c, -b, -n; version 0301
// (ulmarender03) takes them from the front and knows only -p.
#pragma once

#include <dirent.h>

#include "ulmarender/program/version.h"

// The whole run of the program of `version`; the return value is the exit
// status.
int run_command_line(const UlmaVersion& version, int argc, char** argv);

// Prints the version, the usage line and two examples.
void usage(const UlmaVersion& version, const char* program_name);

// 0 for the directory entries "." and "..", 1 for any other.
int filter_dot(const struct dirent* d);

// strtod of the text, limited to [-100, 100] (a NaN stays NaN).
double percent_offset(const char* text);
