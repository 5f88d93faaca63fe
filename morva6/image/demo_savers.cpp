// Preview writers for panel-side pictures of one byte per pixel.
//
// The Vitrel savers show each pixel through a repeating colour pattern
// anchored at the top-left corner of the picture: pattern byte 0 puts the
// pixel's value (low four bits cleared) into red, 1 into green, 2 into blue,
// and any other byte leaves the pixel black. The Ulma2 saver shows one-byte
// colour codes as eight colours.
//
// The pixels are painted straight into the output rows with the row order
// worked out per row, so no working copy of the picture is needed. Files are
// written through BMP_save or a temporary-then-rename file, so a failed write
// never leaves a truncated file behind. As previews these savers report only
// refused arguments; write problems are printed.
#include <morva6/morva6_image.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <new>
#include <vector>

#include "common/formats/pnm.h"
#include "common/replace_file.h"
#include "morva6/core/picture_size.h"

namespace {

using Bgr = std::array<std::uint8_t, 3>;

// Releases a stack record's blocks when the saver returns.
using RecordGuard = std::unique_ptr<BMP, decltype(&BMP_release)>;

int check_panel(const Panel* panel) {
    if (panel == nullptr || panel->pattern == nullptr || panel->pattern_width == 0 || panel->pattern_height == 0) {
        return MORVA6_IMG_BAD_ARGUMENT;
    }
    return MORVA6_IMG_OK;
}

// Status of a saver's picture arguments: sizes, then the buffers.
int check_picture(const std::uint8_t* image, std::int32_t width, std::int32_t height, const char* path) {
    if (path == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    if (!morva6::picture_fits(width, height)) return MORVA6_IMG_TOO_LARGE;
    if (image == nullptr && width > 0 && height > 0) return MORVA6_IMG_BAD_ARGUMENT;
    return MORVA6_IMG_OK;
}

// Offset of a colour within a pixel for a pattern byte: `rgb_order` pixels
// are red, green, blue; otherwise blue, green, red. -1 leaves the pixel black.
int pattern_channel(std::uint8_t pattern_byte, bool rgb_order) {
    if (pattern_byte > 2) return -1;
    return rgb_order ? pattern_byte : 2 - pattern_byte;
}

// Paints `image` into the 24-bit rows `data` of a record (bottom row first).
// Row k from the top of the written picture is data row H-1-k and uses
// pattern row k mod pattern_height; it comes from image row k when the image
// holds the top row first, else from image row H-1-k.
void paint_panel_rows(std::uint8_t* data, const std::uint8_t* image, std::int32_t width, std::int32_t height,
                      const Panel& panel, bool image_top_first) {
    const auto w = static_cast<std::size_t>(width);
    for (std::int32_t k = 0; k < height; ++k) {
        const auto data_row = static_cast<std::size_t>(height - 1 - k);
        const std::size_t image_row = image_top_first ? static_cast<std::size_t>(k) : data_row;
        const std::uint8_t* pattern_row =
            panel.pattern + static_cast<std::size_t>(k % panel.pattern_height) * panel.pattern_width;
        for (std::size_t c = 0; c < w; ++c) {
            const int channel = pattern_channel(pattern_row[c % panel.pattern_width], false);
            if (channel < 0) continue;
            data[(data_row * w + c) * 3 + static_cast<std::size_t>(channel)] = image[image_row * w + c] & 0xF0;
        }
    }
}

// Blue, green, red of a colour code: codes in steps of 8 name eight colours.
constexpr std::array<Bgr, 256> make_code_colours() {
    constexpr Bgr black{0, 0, 0}, red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0}, cyan{255, 255, 0},
        magenta{255, 0, 255}, yellow{0, 255, 255}, white{255, 255, 255};
    std::array<Bgr, 256> colours{};
    const auto set = [&colours](std::initializer_list<int> codes, Bgr colour) {
        for (const int code : codes) colours[static_cast<std::size_t>(code)] = colour;
    };
    set({0, 8, 16, 24}, black);
    set({32, 40, 48}, red);
    set({64, 72, 80}, green);
    set({96, 104, 112}, blue);
    set({128, 136, 144}, cyan);
    set({160, 168, 176}, magenta);
    set({192, 200, 208}, yellow);
    set({224, 232, 240, 248}, white);
    return colours;
}
constexpr std::array<Bgr, 256> kCodeColours = make_code_colours();

// A 24-bit BMP record of width x height whose pixels `paint` fills (not
// called for an empty picture), saved to `path`.
template <class Paint>
int save_painted_bmp(std::int32_t width, std::int32_t height, const char* path, Paint paint) {
    BMP record = new_BMP();
    const RecordGuard guard(&record, &BMP_release);
    BMP_init(&record, width, height);
    if (width >= 1 && height >= 1) {
        if (record.data == nullptr) {
            std::puts("imageInit malloc Error!!");
            return MORVA6_IMG_NO_MEMORY;
        }
        paint(record.data);
    }
    return BMP_save(&record, path);
}

}  // namespace

extern "C" int Stream_to_BMP_convert_Panel(BMP* bmp, const uint8_t* image, const Panel* panel) {
    if (bmp == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    if (const int status = check_panel(panel)) return status;
    const std::int32_t width = bmp->biWidth;
    const std::int32_t height = bmp->biHeight;
    if (width < 1 || height < 1) return MORVA6_IMG_OK;
    if (!morva6::picture_fits(width, height)) return MORVA6_IMG_TOO_LARGE;
    if (image == nullptr || bmp->data == nullptr || bmp->biBitCount != 24) {
        return MORVA6_IMG_BAD_ARGUMENT;
    }
    paint_panel_rows(bmp->data, image, width, height, *panel, false);
    return MORVA6_IMG_OK;
}

extern "C" int saveBMP_DemoVitrel_QW(const uint8_t* image, int32_t width, int32_t height, const char* path,
                                     const Panel* panel, uint8_t flip) {
    if (const int status = check_panel(panel)) return status;
    if (const int status = check_picture(image, width, height, path)) return status;

    return save_painted_bmp(width, height, path, [&](std::uint8_t* pixels) {
        paint_panel_rows(pixels, image, width, height, *panel, flip != 0);
    });
}

extern "C" int savePPM_DemoVitrel_QW(const uint8_t* image, int32_t width, int32_t height, const char* path,
                                     const Panel* panel) {
    if (const int status = check_panel(panel)) return status;
    if (const int status = check_picture(image, width, height, path)) return status;

    std::vector<std::uint8_t> row;
    try {
        row.resize(static_cast<std::size_t>(width) * 3);
    } catch (const std::bad_alloc&) {
        std::puts("imageInit malloc Error!!");
        return MORVA6_IMG_NO_MEMORY;
    }
    common::ReplaceFile file(path);
    if (!file.is_open()) {
        std::puts("Error opening file!");
        return MORVA6_IMG_OPEN_FAILED;
    }
    const std::string header = common::pnm::header("P6", width, height);
    bool written = file.write(header.data(), header.size());
    const auto w = static_cast<std::size_t>(width);
    for (std::int32_t r = 0; r < height && written; ++r) {
        std::fill(row.begin(), row.end(), std::uint8_t{0});
        const std::uint8_t* pattern_row =
            panel->pattern + static_cast<std::size_t>(r % panel->pattern_height) * panel->pattern_width;
        const std::uint8_t* image_row = image + static_cast<std::size_t>(r) * w;
        for (std::size_t c = 0; c < w; ++c) {
            const int channel = pattern_channel(pattern_row[c % panel->pattern_width], true);
            if (channel >= 0) row[c * 3 + static_cast<std::size_t>(channel)] = image_row[c] & 0xF0;
        }
        written = file.write(row.data(), row.size());
    }
    if (!written || !file.commit()) {
        std::puts("Error writing file!");
        return MORVA6_IMG_WRITE_FAILED;
    }
    return MORVA6_IMG_OK;
}

extern "C" int saveBMP_DemoUlma2_QW(const uint8_t* image, int32_t width, int32_t height, const char* path) {
    if (const int status = check_picture(image, width, height, path)) return status;

    return save_painted_bmp(width, height, path, [&](std::uint8_t* data) {
        // The picture holds the top row first; the record the bottom row.
        const auto w = static_cast<std::size_t>(width);
        for (std::int32_t r = 0; r < height; ++r) {
            const std::uint8_t* codes = image + static_cast<std::size_t>(r) * w;
            std::uint8_t* pixels = data + static_cast<std::size_t>(height - 1 - r) * w * 3;
            for (std::size_t c = 0; c < w; ++c) {
                const Bgr& colour = kCodeColours[codes[c]];
                std::copy(colour.begin(), colour.end(), pixels + c * 3);
            }
        }
    });
}
