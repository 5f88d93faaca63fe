#include "ulmarender/engine/colour_lut.h"

#include <cstdio>
#include <string>

#include "common/bounded_read.h"
#include "common/holders.h"

namespace ulma {

std::optional<std::vector<unsigned char>> read_lut_file(const char* file) {
    if (file == nullptr) return std::nullopt;
    // A regular file only: a pipe or a device named as a band's LUT would
    // hang the run or give a table of whatever it delivers.
    std::string problem;
    bool opened = false;
    const common::File stream(common::open_regular_file(file, problem, opened));
    if (!stream) return std::nullopt;
    std::vector<unsigned char> table(kLutFileSize);
    if (std::fread(table.data(), 1, table.size(), stream.get()) != table.size()) return std::nullopt;
    return table;
}

}  // namespace ulma
