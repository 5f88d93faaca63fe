// Test helpers of the image layer: BMP files built byte by byte, files
// written and read back, a scratch directory per test, captured console
// output.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace bmp_bytes {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put32(Bytes& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Description of a BMP file. The information header is `header_size` bytes
// (the 40-byte fields, then zeros); `palette` and `extra` follow it; the
// pixel data start at `off_bits` (default: right after `extra`, any gap
// filled with 0xDD). `pixels` holds the rows in file order without padding;
// each row is padded with `pad_byte` to a multiple of four bytes.
struct BmpFile {
    std::int32_t width = 1;
    std::int32_t height = 1;  // negative: top row first
    std::uint16_t bit_count = 24;
    std::uint32_t header_size = 40;
    std::uint32_t compression = 0;
    std::uint32_t clr_used = 0;
    std::uint16_t signature = 0x4D42;
    Bytes palette{};
    Bytes extra{};
    std::optional<std::uint32_t> off_bits{};
    Bytes pixels{};
    std::uint8_t pad_byte = 0xEE;
};

inline Bytes build(const BmpFile& file) {
    const std::size_t row_bytes = static_cast<std::size_t>(file.width) * (file.bit_count / 8);
    const std::size_t padded_row = (row_bytes + 3) / 4 * 4;
    const std::size_t rows = row_bytes == 0 ? 0 : file.pixels.size() / row_bytes;
    const std::uint32_t data_start = static_cast<std::uint32_t>(
        14 + file.header_size + file.palette.size() + file.extra.size());
    const std::uint32_t off_bits = file.off_bits.value_or(data_start);

    Bytes out;
    put16(out, file.signature);
    put32(out, static_cast<std::uint32_t>(off_bits + rows * padded_row));
    put16(out, 0);
    put16(out, 0);
    put32(out, off_bits);
    put32(out, file.header_size);
    put32(out, static_cast<std::uint32_t>(file.width));
    put32(out, static_cast<std::uint32_t>(file.height));
    put16(out, 1);
    put16(out, file.bit_count);
    put32(out, file.compression);
    put32(out, static_cast<std::uint32_t>(rows * padded_row));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, file.clr_used);
    put32(out, 0);
    out.resize(14 + file.header_size, 0);
    out.insert(out.end(), file.palette.begin(), file.palette.end());
    out.insert(out.end(), file.extra.begin(), file.extra.end());
    if (out.size() < off_bits) out.resize(off_bits, 0xDD);
    for (std::size_t row = 0; row < rows; ++row) {
        const auto first = file.pixels.begin() + static_cast<std::ptrdiff_t>(row * row_bytes);
        out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(row_bytes));
        out.resize(out.size() + padded_row - row_bytes, file.pad_byte);
    }
    return out;
}

// A colour table of `entries` entries; entry k is blue k, green k + 1,
// red k + 2, reserved 0.
inline Bytes ramp_palette(int entries) {
    Bytes table;
    for (int k = 0; k < entries; ++k) {
        table.push_back(static_cast<std::uint8_t>(k));
        table.push_back(static_cast<std::uint8_t>(k + 1));
        table.push_back(static_cast<std::uint8_t>(k + 2));
        table.push_back(0);
    }
    return table;
}

// Bytes 1, 2, 3, ... (wrapping), a pattern where every byte differs from its
// neighbours.
inline Bytes counting(std::size_t size, std::uint8_t first = 1) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

inline void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh directory per test, removed with everything in it afterwards.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = std::filesystem::temp_directory_path() / "morva6_image_XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Names of the entries in the directory.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    std::filesystem::path path_;
};

// Runs `action` and returns what it printed on standard output.
template <class Action>
std::string printed_by(Action&& action) {
    testing::internal::CaptureStdout();
    action();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

}  // namespace bmp_bytes
