// Lays pictures side by side on one sheet, so the methods of a render can be
// compared at a glance:
//
//   contact_sheet -o sheet.png|sheet.bmp [-c columns] [-s shrink] [-t caption] a.bmp [-t caption] b.ppm ...
//
// Pictures are placed left to right, top to bottom, in the order given, on a
// white background with a gap between them; under each one stands its
// caption (-t before the picture) or, without one, its position (1, 2, ...).
// With -s N every picture is reduced to 1/N of its width and height by
// averaging N x N blocks (the sheet of large pictures stays small; the
// average also shows the colour a dithered area gives from a distance). BMP
// and binary PPM files are read through the project's own image layer; the
// sheet is written as PNG or 24-bit BMP, whole or not at all. Exit status 0
// written, 1 a file could not be read or written, 2 bad arguments.
#include <morva6/morva6_image.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#if CONTACT_SHEET_PNG
#include <zlib.h>
#endif

#include "common/command_line.h"
#include "common/guarded_main.h"
#include "common/holders.h"
#include "common/numbers.h"
#include "common/output_set.h"
#include "common/replace_file.h"

namespace {

constexpr int kGap = 8;
constexpr int kMaxShrink = 64;
constexpr int kMaxColumns = 1000;

struct Picture {
    std::vector<std::uint8_t> bgr;  // top row first
    int width = 0;
    int height = 0;
};

using CBlock = std::unique_ptr<std::uint8_t, common::FreeDeleter>;

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

// Capital letters, digits and a little punctuation in a 5 x 7 grid, one row
// of five bits per entry, top row first; lower case is drawn as upper case.
constexpr std::string_view kGlyphChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.,()/:+=";
constexpr std::uint8_t kGlyphs[][7] = {
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}, {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}, {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C},
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}, {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}, {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11},
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}, {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}, {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}, {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},
    {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F},
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C},
    {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}, {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02},
    {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}, {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10},
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}, {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00},
    {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00},
};
// A character is 6 font pixels wide with its spacing; a caption line is 9
// high (7 and a margin above and below).
constexpr int kCharWidth = 6;
constexpr int kCaptionHeight = 9;

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

// Black text on the white caption line under a cell, each font pixel `unit`
// wide; cut at the cell's width.
void caption(Sheet& sheet, long long left, long long top, int cell_width, const std::string& text, int unit) {
    const std::size_t fits = static_cast<std::size_t>(cell_width / (kCharWidth * unit));
    for (std::size_t i = 0; i < std::min(text.size(), fits); ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        const std::size_t glyph = kGlyphChars.find(c);
        if (glyph == std::string_view::npos) continue;  // blanks and what the font lacks
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if (kGlyphs[glyph][row] >> (4 - column) & 1)
                    sheet.fill(left + (static_cast<long long>(i) * kCharWidth + column) * unit, top + (1 + row) * unit,
                               unit, unit, 0);
    }
}

int usage(std::FILE* stream = stderr) {
    if (stream != stdout) {
        std::fputs(
            "usage: contact_sheet -o <sheet.png|sheet.bmp> [-c <columns>] [-s <shrink 1..64>] "
            "[-t <caption>] <picture.bmp|picture.ppm> [[-t <caption>] <picture>]...\n"
            "Try 'contact_sheet --help'.\n",
            stream);
        return 2;
    }
    std::fputs(R"(usage: contact_sheet -o SHEET [options] [-t CAPTION] PICTURE [[-t CAPTION] PICTURE]...

Lays pictures side by side on a white sheet, each with a caption under it,
in rows of a given number of columns. The pictures are BMP (8, 24 or 32 bits)
or binary PPM files; cells are as large as the largest picture.

Options:
  -o, --output SHEET    the sheet to write, .png or .bmp; replaced only when
                        complete
  -c, --columns N       pictures per row (default: all in one row)
  -s, --shrink N        show every picture at 1/N size, 1..64 (default 1): each
                        cell pixel is the average of N x N picture pixels, which
                        also shows the colour a dithered area gives from a
                        distance
  -t, --caption TEXT    the caption of the picture that follows (default: its
                        position)
  --help, --version     show this text or the version

Exit status: 0 written, 1 a picture could not be read or the sheet written,
2 bad arguments.
)",
               stream);
    return 0;
}

int usage_error(const std::string& message) {
    std::fprintf(stderr, "contact_sheet: %s\n", message.c_str());
    return usage();
}

#if CONTACT_SHEET_PNG
// Writes the bytes so that the file is replaced only once complete.
bool write_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    return common::write_file_replacing(path, "", bytes) == common::WriteResult::written;
}

void put_chunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
    const auto put32 = [&png](std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<std::uint8_t>(value >> shift));
    };
    put32(static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(static_cast<std::uint32_t>(crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
}

// An 8-bit RGB PNG: every row unfiltered, the whole picture deflated at once.
bool save_png(const Sheet& sheet, const std::string& path) {
    const std::size_t row = static_cast<std::size_t>(sheet.width) * 3;
    std::vector<std::uint8_t> raw;
    raw.reserve((row + 1) * static_cast<std::size_t>(sheet.height));
    for (long long y = 0; y < sheet.height; ++y) {
        raw.push_back(0);
        const std::uint8_t* bgr = &sheet.bgr[static_cast<std::size_t>(y) * row];
        for (std::size_t x = 0; x < row; x += 3) raw.insert(raw.end(), {bgr[x + 2], bgr[x + 1], bgr[x]});
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return false;
    packed.resize(packed_size);
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    for (const long long size : {sheet.width, sheet.height})
        for (int shift = 24; shift >= 0; shift -= 8) header.push_back(static_cast<std::uint8_t>(size >> shift));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, not interlaced
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", packed);
    put_chunk(png, "IEND", {});
    return write_whole_file(path, png);
}
#else
bool save_png(const Sheet&, const std::string&) {
    std::fputs("contact_sheet: built without zlib, it writes BMP sheets only\n", stderr);
    return false;
}
#endif

}  // namespace

static int run_main(int argc, char** argv) {
    std::string output;
    int columns = 0;
    int factor = 1;
    std::vector<std::string> inputs;
    std::vector<std::string> captions;
    std::string next_caption;
    static constexpr common::OptionSpec kSpecs[] = {{'\0', "help", false}, {'\0', "version", false},
                                                    {'o', "output", true}, {'c', "columns", true},
                                                    {'s', "shrink", true}, {'t', "caption", true}};
    const std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
    std::vector<common::CommandWord> words;
    std::string error;
    if (!common::split_command_line(args, kSpecs, words, error)) return usage_error(error);
    for (const common::CommandWord& word : words) {
        const std::string_view name = word.spec == nullptr ? std::string_view() : word.spec->long_name;
        if (word.spec == nullptr) {
            inputs.push_back(word.spelling);
            captions.push_back(next_caption.empty() ? std::to_string(inputs.size()) : next_caption);
            next_caption.clear();
        } else if (name == "help") {
            return usage(stdout);
        } else if (name == "version") {
            std::puts("contact_sheet " MORVA6_VERSION);
            return 0;
        } else if (name == "output") {
            output = word.value;
        } else if (name == "caption") {
            next_caption = word.value;
        } else {
            const auto number = name == "columns" ? common::parse_whole(word.value, 1, kMaxColumns)
                                                  : common::parse_whole(word.value, 1, kMaxShrink);
            if (!number) return usage_error("invalid value '" + word.value + "' for " + word.spelling);
            (name == "columns" ? columns : factor) = static_cast<int>(*number);
        }
    }
    const bool png = ends_with(output, ".png");
    if (inputs.empty()) return usage_error("no picture given");
    if (!png && !ends_with(output, ".bmp")) return usage_error("the sheet is a .png or .bmp file (-o)");
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

    // Captions grow with the cells: 1 font pixel per 400 pixels of width.
    const int unit = std::max(1, cell_width / 400);
    const int caption_height = kCaptionHeight * unit;
    Sheet sheet;
    sheet.width = static_cast<long long>(columns) * (cell_width + kGap) + kGap;
    sheet.height = static_cast<long long>(rows) * (cell_height + caption_height + kGap) + kGap;
    if (sheet.width * sheet.height * 4 > INT32_MAX) {
        std::fputs("contact_sheet: the sheet would be too large; shrink the pictures with -s\n", stderr);
        return 1;
    }
    sheet.bgr.assign(static_cast<std::size_t>(sheet.width * sheet.height * 3), 255);
    for (int i = 0; i < count; ++i) {
        const Picture& picture = pictures[static_cast<std::size_t>(i)];
        const long long left = kGap + static_cast<long long>(i % columns) * (cell_width + kGap);
        const long long top = kGap + static_cast<long long>(i / columns) * (cell_height + caption_height + kGap);
        for (int y = 0; y < picture.height; ++y) {
            const auto* from = picture.bgr.data() + static_cast<std::size_t>(y) * picture.width * 3;
            auto* to = sheet.bgr.data() + static_cast<std::size_t>(((top + y) * sheet.width + left) * 3);
            std::memcpy(to, from, static_cast<std::size_t>(picture.width) * 3);
        }
        caption(sheet, left, top + cell_height, cell_width, captions[static_cast<std::size_t>(i)], unit);
    }
    const bool written = png ? save_png(sheet, output)
                             : saveBMP_QW(sheet.bgr.data(), static_cast<std::int32_t>(sheet.width),
                                          static_cast<std::int32_t>(sheet.height), output.c_str(), MORVA6_BGR, 1) == 0;
    if (!written) {
        std::fprintf(stderr, "contact_sheet: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    return common::run_guarded("contact_sheet", [&] { return run_main(argc, argv); });
}
