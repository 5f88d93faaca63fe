// ulmarender: the eight-colour renderer, version 0302.
#include "ulmarender/program/command_line.h"

int main(int argc, char** argv) { return run_command_line(kUlma0302, argc, argv); }
