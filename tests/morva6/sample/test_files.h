// Small file helpers for the sample driver's tests: a scratch folder, whole
// files, 24-bit BMP pictures and LUT files, written without the library so
// that the program under test is checked against an independent reading.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sample_test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string path(const std::string& name) const { return (root_ / name).string(); }

private:
    std::filesystem::path root_;
};

std::vector<std::uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A 24-bit picture in memory: rows from the top, blue, green, red.
struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> bgr;
};

// Writes a bottom-up 24-bit BMP with padded rows.
void writeBmp(const std::string& path, const Picture& picture);
// Reads a bottom-up 24-bit BMP with a 54-byte header; nothing when the file
// is missing or not of that kind.
std::optional<Picture> readBmp(const std::string& path);

// Ink colours in index order (black, white, yellow, red, green, blue), each
// blue, green, red.
using Inks = std::array<std::array<std::uint8_t, 3>, 6>;
inline constexpr Inks kIdealInks{{{0, 0, 0}, {255, 255, 255}, {0, 255, 255},
                                  {0, 0, 255}, {0, 255, 0}, {255, 0, 0}}};
// LUT file bytes: the inks, then the identity table (every entry its own
// colour, six bits widened to eight).
std::vector<std::uint8_t> identityLut(const Inks& inks);

}  // namespace sample_test
