#include "tools/lut_builder/lut_file.h"

#include <cerrno>
#include <cstring>

#include "common/replace_file.h"

namespace lut_builder {
namespace {

void append_bgr(std::vector<std::uint8_t>& bytes, Rgb8 colour) {
    bytes.push_back(colour.b);
    bytes.push_back(colour.g);
    bytes.push_back(colour.r);
}

std::string system_reason(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::vector<std::uint8_t> encode_morva6_lut(std::span<const Rgb8, kInkCount> inks, std::span<const Rgb8> table) {
    std::vector<std::uint8_t> bytes;
    if (table.size() != kTableEntries) return bytes;
    bytes.reserve(kMorva6LutSize);
    for (const Rgb8& ink : inks) append_bgr(bytes, ink);
    for (const Rgb8& entry : table) append_bgr(bytes, entry);
    return bytes;
}

std::vector<std::uint8_t> encode_ulma_lut(std::span<const Rgb8> table) {
    std::vector<std::uint8_t> bytes;
    if (table.size() != kTableEntries) return bytes;
    bytes.reserve(kUlmaLutSize);
    for (const Rgb8& entry : table) {
        bytes.push_back(entry.r);
        bytes.push_back(entry.g);
        bytes.push_back(entry.b);
    }
    bytes.insert(bytes.end(), 3, 0);
    return bytes;
}

bool write_file_replacing(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error) {
    switch (common::write_file_replacing(path, "", bytes)) {
        case common::WriteResult::written:
            return true;
        case common::WriteResult::not_created:
            error = system_reason("cannot create", path);
            break;
        case common::WriteResult::not_written:
            error = system_reason("cannot write", path);
            break;
    }
    return false;
}

}  // namespace lut_builder
