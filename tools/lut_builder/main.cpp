// morva6_lut_builder: writes a gamut-mapping colour table for the six-ink
// renderer (or the eight-colour renderer's table layout).
#include <iostream>
#include <string_view>
#include <vector>

#include "tools/lut_builder/run_builder.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return lut_builder::run_builder(args, std::cout, std::cerr);
}
