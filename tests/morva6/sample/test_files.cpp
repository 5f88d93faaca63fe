#include "test_files.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace sample_test {

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "morva6_sample_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
    root_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

namespace {

void putLe(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t getLe(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

std::size_t paddedRow(std::int32_t width) { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }

}  // namespace

void writeBmp(const std::string& path, const Picture& picture) {
    const std::size_t row = paddedRow(picture.width);
    const auto imageBytes = static_cast<std::uint32_t>(row * static_cast<std::size_t>(picture.height));
    std::vector<std::uint8_t> bytes{'B', 'M'};
    putLe(bytes, 54 + imageBytes, 4);
    putLe(bytes, 0, 4);
    putLe(bytes, 54, 4);
    putLe(bytes, 40, 4);
    putLe(bytes, static_cast<std::uint32_t>(picture.width), 4);
    putLe(bytes, static_cast<std::uint32_t>(picture.height), 4);
    putLe(bytes, 1, 2);
    putLe(bytes, 24, 2);
    putLe(bytes, 0, 4);
    putLe(bytes, imageBytes, 4);
    bytes.resize(bytes.size() + 16, 0);  // resolution and colour counts
    const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
    for (std::int32_t y = picture.height - 1; y >= 0; --y) {
        const auto first = picture.bgr.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * stride);
        bytes.insert(bytes.end(), first, first + static_cast<std::ptrdiff_t>(stride));
        bytes.resize(bytes.size() + row - stride, 0);
    }
    writeFile(path, bytes);
}

std::optional<Picture> readBmp(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readFile(path);
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || getLe(bytes, 28, 2) != 24) return std::nullopt;
    Picture picture;
    picture.width = static_cast<std::int32_t>(getLe(bytes, 18, 4));
    picture.height = static_cast<std::int32_t>(getLe(bytes, 22, 4));
    if (picture.width < 0 || picture.height < 0) return std::nullopt;
    const std::size_t row = paddedRow(picture.width);
    const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
    if (bytes.size() != 54 + row * static_cast<std::size_t>(picture.height)) return std::nullopt;
    for (std::int32_t y = picture.height - 1; y >= 0; --y) {
        const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(54 + static_cast<std::size_t>(y) * row);
        picture.bgr.insert(picture.bgr.end(), first, first + static_cast<std::ptrdiff_t>(stride));
    }
    return picture;
}

std::vector<std::uint8_t> identityLut(const Inks& inks) {
    std::vector<std::uint8_t> bytes;
    for (const auto& ink : inks) bytes.insert(bytes.end(), ink.begin(), ink.end());
    const auto widen = [](int v) { return static_cast<std::uint8_t>(v << 2 | v >> 4); };
    for (int r = 0; r < 64; ++r) {
        for (int g = 0; g < 64; ++g) {
            for (int b = 0; b < 64; ++b) bytes.insert(bytes.end(), {widen(b), widen(g), widen(r)});
        }
    }
    return bytes;
}

}  // namespace sample_test
