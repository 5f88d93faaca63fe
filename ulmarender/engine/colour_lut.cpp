#include "ulmarender/engine/colour_lut.h"

#include <cstdio>

#include "common/holders.h"

namespace ulma {

std::optional<std::vector<unsigned char>> read_lut_file(const char* file) {
  if (file == nullptr) return std::nullopt;
  const common::File stream(std::fopen(file, "rb"));
  if (!stream) return std::nullopt;
  std::vector<unsigned char> table(kLutFileSize);
  if (std::fread(table.data(), 1, table.size(), stream.get()) != table.size()) return std::nullopt;
  return table;
}

}  // namespace ulma
