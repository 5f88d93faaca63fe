// Writes the two sample LUT files of the six-ink renderer into a folder:
//   Morva6_Render_LUT_Default_v1.bin  measured-looking ink colours
//   Morva6_Render_LUT_Default_v2.bin  ideal ink colours
// A LUT file is 786450 bytes: six ink colours (black, white, yellow, red,
// green, blue), then 64 x 64 x 64 table entries, every colour stored blue,
// green, red. The entry of (R, G, B) lies at 18 + 3 * ((R >> 2) * 4096 +
// (G >> 2) * 64 + (B >> 2)).
//
// Both files carry the identity table (every entry is its own colour, the six
// bits widened to eight). A real gamut-mapping table, which pulls colours
// into the range the inks can show, is to be built later for v2; until then
// v2 differs from v1 only in its ink colours.
//
// Usage: make_sample_lut <output folder>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};
using InkColours = std::array<Rgb, 6>;  // black, white, yellow, red, green, blue

// What a six-ink panel of this kind really shows: dark, muted inks and a
// greyish paper white far below 255.
constexpr InkColours kMeasuredInks{{
    {32, 30, 38},     // black
    {178, 182, 172},  // white
    {198, 182, 24},   // yellow
    {138, 36, 36},    // red
    {48, 92, 62},     // green
    {40, 60, 122},    // blue
}};

constexpr InkColours kIdealInks{{
    {0, 0, 0}, {255, 255, 255}, {255, 255, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255},
}};

constexpr std::size_t kLutFileSize = 786450;

// Six table bits back to eight: 0 -> 0, 63 -> 255.
std::uint8_t widen(int six_bits) { return static_cast<std::uint8_t>((six_bits << 2) | (six_bits >> 4)); }

std::vector<std::uint8_t> identityLut(const InkColours& inks) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kLutFileSize);
    for (const Rgb& ink : inks) bytes.insert(bytes.end(), {ink.b, ink.g, ink.r});
    for (int r = 0; r < 64; ++r) {
        for (int g = 0; g < 64; ++g) {
            for (int b = 0; b < 64; ++b) bytes.insert(bytes.end(), {widen(b), widen(g), widen(r)});
        }
    }
    return bytes;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_lut <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::array<std::pair<std::string, const InkColours*>, 2> files{{
        {folder + "/Morva6_Render_LUT_Default_v1.bin", &kMeasuredInks},
        {folder + "/Morva6_Render_LUT_Default_v2.bin", &kIdealInks},
    }};
    for (const auto& [path, inks] : files) {
        if (!writeFile(path, identityLut(*inks))) {
            std::fprintf(stderr, "make_sample_lut: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
