// ulmarender03: the earlier version 0301 of the eight-colour renderer.
#include "ulmarender/program/command_line.h"

int main(int argc, char** argv) { return run_command_line(kUlma0301, argc, argv); }
