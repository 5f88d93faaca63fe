// morva6_lut_builder: writes a gamut-mapping colour table for the six-ink
// renderer (or the eight-colour renderer's table layout).
#include <iostream>
#include <string_view>
#include <vector>

#include "common/guarded_main.h"
#include "tools/lut_builder/run_builder.h"

static int run_main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return lut_builder::run_builder(args, std::cout, std::cerr);
}

int main(int argc, char** argv) {
    return common::run_guarded("morva6_lut_builder", [&] { return run_main(argc, argv); });
}
