// Lays pictures side by side on one sheet, so the methods of a render can be
// compared at a glance:
//
//   contact_sheet -o sheet.bmp [-c columns] [-s shrink] a.bmp b.ppm ...
//
// Pictures are placed left to right, top to bottom, in the order given, on a
// white background with a gap between them, each marked with its position
// (1, 2, ...) in its top-left corner (pictures too small to carry the number
// are left unmarked). With -s N every picture is reduced to
// 1/N of its width and height by averaging N x N blocks (the sheet of large
// pictures stays small; the average also shows the colour a dithered area
// gives from a distance). BMP and binary PPM files are read through the
// project's own image layer. Exit status 0 written, 1 a file could not be
// read or written, 2 bad arguments; no sheet is left behind on failure.
#include <morva6/morva6_image.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kGap = 8;
constexpr int kMaxShrink = 64;

struct Picture {
    std::vector<std::uint8_t> bgr;  // top row first
    int width = 0;
    int height = 0;
};

struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};
using CBlock = std::unique_ptr<std::uint8_t, FreeDeleter>;

bool ends_with(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool load(const std::string& path, Picture& picture) {
    std::uint8_t* raw = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const bool ppm = ends_with(path, ".ppm");
    const int status = ppm ? readPPM_QW(&raw, &width, &height, path.c_str())
                           : readBMP_QW(&raw, &width, &height, path.c_str(), MORVA6_BGR, 1);
    CBlock block(raw);
    if (status != MORVA6_IMG_OK || raw == nullptr || width < 1 || height < 1) {
        std::fprintf(stderr, "contact_sheet: cannot read %s (status %d)\n", path.c_str(), status);
        return false;
    }
    picture.width = width;
    picture.height = height;
    picture.bgr.assign(static_cast<std::size_t>(width) * height * 3, 0);
    if (ppm) {
        RGB_to_BGR(picture.bgr.data(), block.get(), width, height);
    } else {
        std::memcpy(picture.bgr.data(), block.get(), picture.bgr.size());
    }
    return true;
}

// Averages blocks of factor x factor pixels; a partial block at the right or
// bottom edge averages the pixels it has.
Picture shrink(const Picture& picture, int factor) {
    if (factor <= 1) return picture;
    Picture small;
    small.width = (picture.width + factor - 1) / factor;
    small.height = (picture.height + factor - 1) / factor;
    small.bgr.resize(static_cast<std::size_t>(small.width) * small.height * 3);
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            std::array<unsigned, 3> sum{};
            unsigned count = 0;
            for (int sy = y * factor; sy < std::min(picture.height, (y + 1) * factor); ++sy) {
                for (int sx = x * factor; sx < std::min(picture.width, (x + 1) * factor); ++sx) {
                    const std::uint8_t* p = &picture.bgr[(static_cast<std::size_t>(sy) * picture.width + sx) * 3];
                    for (int c = 0; c < 3; ++c) sum[c] += p[c];
                    ++count;
                }
            }
            std::uint8_t* q = &small.bgr[(static_cast<std::size_t>(y) * small.width + x) * 3];
            for (int c = 0; c < 3; ++c) q[c] = static_cast<std::uint8_t>((sum[c] + count / 2) / count);
        }
    }
    return small;
}

// Digits 0-9 in a 3 x 5 grid, one row of three bits per entry, top row first.
constexpr std::array<std::array<std::uint8_t, 5>, 10> kDigits{{
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
}};

struct Sheet {
    std::vector<std::uint8_t> bgr;
    long long width = 0;
    long long height = 0;

    void fill(long long left, long long top, long long w, long long h, std::uint8_t value) {
        for (long long y = std::max(0LL, top); y < std::min(height, top + h); ++y) {
            const long long from = std::max(0LL, left);
            const long long to = std::min(width, left + w);
            if (to > from) {
                std::memset(&bgr[static_cast<std::size_t>((y * width + from) * 3)], value,
                            static_cast<std::size_t>((to - from) * 3));
            }
        }
    }
};

// White digits on a black box at the top-left corner of a picture, each font
// pixel `unit` wide; left out when the box would cover more than a quarter of
// the picture's width or height.
void label(Sheet& sheet, long long left, long long top, const Picture& picture, int number, int unit) {
    const std::string text = std::to_string(number);
    const long long digit_w = 4LL * unit;
    const long long box_w = static_cast<long long>(text.size()) * digit_w + unit;
    const long long box_h = 7LL * unit;
    if (box_w * 4 > picture.width || box_h * 4 > picture.height) return;
    sheet.fill(left, top, box_w, box_h, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto& glyph = kDigits[static_cast<std::size_t>(text[i] - '0')];
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 3; ++column) {
                if ((glyph[static_cast<std::size_t>(row)] >> (2 - column) & 1) == 0) continue;
                sheet.fill(left + unit + static_cast<long long>(i) * digit_w + column * unit,
                           top + unit + row * unit, unit, unit, 255);
            }
        }
    }
}

int usage(std::FILE* stream = stderr) {
    std::fputs("usage: contact_sheet -o <sheet.bmp> [-c <columns>] [-s <shrink 1..64>] "
               "<picture.bmp|picture.ppm>...\n",
               stream);
    return stream == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string output;
    int columns = 0;
    int factor = 1;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            return usage(stdout);
        } else if (arg == "-o" && i + 1 < argc) {
            output = argv[++i];
        } else if (arg == "-c" && i + 1 < argc) {
            columns = std::atoi(argv[++i]);
        } else if (arg == "-s" && i + 1 < argc) {
            factor = std::atoi(argv[++i]);
            if (factor < 1 || factor > kMaxShrink) return usage();
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            inputs.emplace_back(arg);
        }
    }
    if (output.empty() || inputs.empty() || !ends_with(output, ".bmp")) return usage();
    const int count = static_cast<int>(inputs.size());
    if (columns < 1) columns = count;
    columns = std::min(columns, count);
    const int rows = (count + columns - 1) / columns;

    std::vector<Picture> pictures(inputs.size());
    int cell_width = 0;
    int cell_height = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        Picture full;
        if (!load(inputs[i], full)) return 1;
        pictures[i] = shrink(full, factor);
        cell_width = std::max(cell_width, pictures[i].width);
        cell_height = std::max(cell_height, pictures[i].height);
    }

    Sheet sheet;
    sheet.width = static_cast<long long>(columns) * (cell_width + kGap) + kGap;
    sheet.height = static_cast<long long>(rows) * (cell_height + kGap) + kGap;
    if (sheet.width * sheet.height * 4 > INT32_MAX) {
        std::fputs("contact_sheet: the sheet would be too large; shrink the pictures with -s\n", stderr);
        return 1;
    }
    sheet.bgr.assign(static_cast<std::size_t>(sheet.width * sheet.height * 3), 255);
    const int unit = std::max(2, std::min(cell_width, cell_height) / 80);
    for (int i = 0; i < count; ++i) {
        const Picture& picture = pictures[static_cast<std::size_t>(i)];
        const long long left = kGap + static_cast<long long>(i % columns) * (cell_width + kGap);
        const long long top = kGap + static_cast<long long>(i / columns) * (cell_height + kGap);
        for (int y = 0; y < picture.height; ++y) {
            const auto* from = picture.bgr.data() + static_cast<std::size_t>(y) * picture.width * 3;
            auto* to = sheet.bgr.data() + static_cast<std::size_t>(((top + y) * sheet.width + left) * 3);
            std::memcpy(to, from, static_cast<std::size_t>(picture.width) * 3);
        }
        label(sheet, left, top, picture, i + 1, unit);
    }
    if (saveBMP_QW(sheet.bgr.data(), static_cast<std::int32_t>(sheet.width), static_cast<std::int32_t>(sheet.height),
                   output.c_str(), MORVA6_BGR, 1) != 0) {
        std::fprintf(stderr, "contact_sheet: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
