#include <cstdio>
#include <new>

#include "ulmarender/command_line.h"

int main(int argc, char** argv) {
    try {
        return run_command_line(argc, argv);
    } catch (const std::bad_alloc&) {
        std::puts("error! not enough memory for the picture");
        return 1;
    }
}
