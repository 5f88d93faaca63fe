// Pixel streams: BMP files and records turned into packed buffers of one of
// the stream formats, and back. Every conversion passes through blue, green,
// red pixels, one row at a time.
#include <morva6/morva6_image.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "morva6/image/bmp_rows.h"
#include "morva6/image/pixel_blocks.h"
#include "morva6/image/pixel_formats.h"
#include "morva6/core/picture_size.h"

namespace {

namespace pf = morva6::pixel_formats;
using morva6::MallocBlock;

constexpr const char* kStreamNoMemory = "imageInit malloc Error!!";
constexpr const char* kRecordNoMemory = "malloc (*bmp).data error";
constexpr const char* kTooLarge = "BMP picture size is out of range!";

struct RecordReleaser {
    void operator()(BMP* bmp) const { BMP_release(bmp); }
};
using RecordGuard = std::unique_ptr<BMP, RecordReleaser>;

// Bytes per pixel of the formats a stream can be made in (0 to 6); 0 for others.
int made_pixel_bytes(std::int32_t format) {
    switch (format) {
        case MORVA6_GRAY:
            return 1;
        case MORVA6_RGB:
        case MORVA6_BGR:
            return 3;
        case MORVA6_RGBA:
        case MORVA6_BGRA:
        case MORVA6_ARGB:
        case MORVA6_ABGR:
            return 4;
        default:
            return 0;
    }
}

// Writes `count` BGR pixels in `format`; false when a stream of that format
// cannot be made.
bool bgr_to_stream(std::int32_t format, std::uint8_t* stream, const std::uint8_t* bgr, std::size_t count) {
    switch (format) {
        case MORVA6_GRAY:
            pf::bgr_to_layout<pf::Gray>(stream, bgr, count);
            return true;
        case MORVA6_RGB:
            pf::bgr_to_layout<pf::Rgb>(stream, bgr, count);
            return true;
        case MORVA6_BGR:
            pf::bgr_to_layout<pf::Bgr>(stream, bgr, count);
            return true;
        case MORVA6_RGBA:
            pf::bgr_to_layout<pf::Rgba>(stream, bgr, count);
            return true;
        case MORVA6_BGRA:
            pf::bgr_to_layout<pf::Bgra>(stream, bgr, count);
            return true;
        case MORVA6_ARGB:
            pf::bgr_to_layout<pf::Argb>(stream, bgr, count);
            return true;
        case MORVA6_ABGR:
            pf::bgr_to_layout<pf::Abgr>(stream, bgr, count);
            return true;
        default:
            return false;
    }
}

// Reads `count` pixels of `format` as BGR; false when a stream of that
// format cannot be turned into a picture.
bool stream_to_bgr(std::int32_t format, std::uint8_t* bgr, const std::uint8_t* stream, std::size_t count) {
    switch (format) {
        case MORVA6_GRAY:
            pf::layout_to_bgr<pf::Gray>(bgr, stream, count);
            return true;
        case MORVA6_RGB:
            pf::layout_to_bgr<pf::Rgb>(bgr, stream, count);
            return true;
        case MORVA6_BGR:
            pf::layout_to_bgr<pf::Bgr>(bgr, stream, count);
            return true;
        case MORVA6_RGBA:
            pf::layout_to_bgr<pf::Rgba>(bgr, stream, count);
            return true;
        case MORVA6_BGRA:
            pf::layout_to_bgr<pf::Bgra>(bgr, stream, count);
            return true;
        case MORVA6_GRAY_R:
            pf::layout_to_bgr<pf::GrayR>(bgr, stream, count);
            return true;
        case MORVA6_GRAY_G:
            pf::layout_to_bgr<pf::GrayG>(bgr, stream, count);
            return true;
        case MORVA6_GRAY_B:
            pf::layout_to_bgr<pf::GrayB>(bgr, stream, count);
            return true;
        default:
            return false;
    }
}

bool takes_stream_format(std::int32_t format) {
    return format >= MORVA6_GRAY && format <= MORVA6_GRAY_B && format != MORVA6_ARGB && format != MORVA6_ABGR;
}

// Row `row` of the record's picture as BGR pixels: the data themselves for
// 24-bit pixels, else expanded into `scratch` (colour-table look-up, or the
// fourth byte of 32-bit pixels dropped).
const std::uint8_t* record_row_as_bgr(const BMP& bmp, std::size_t row, std::size_t source_bytes,
                                      std::uint8_t* scratch) {
    const auto width = static_cast<std::size_t>(bmp.biWidth);
    const std::uint8_t* source = bmp.data + row * width * source_bytes;
    if (bmp.palette != nullptr) {
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* entry = bmp.palette + 4 * source[x];
            pf::Bgr::from_bgr(scratch + 3 * x, entry);
        }
        return scratch;
    }
    if (source_bytes == 4) {
        pf::layout_to_bgr<pf::Bgra>(scratch, source, width);
        return scratch;
    }
    return source;
}

}  // namespace

extern "C" {

int readBMP_QW(uint8_t** stream, int32_t* width, int32_t* height, const char* path, int32_t format, uint8_t flip) {
    if (stream == nullptr || width == nullptr || height == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    *stream = nullptr;
    *width = 0;
    *height = 0;
    BMP record = new_BMP();
    const RecordGuard release_record(&record);
    // For a blue, green, red stream the rows are read straight into the
    // order asked for; a 24-bit file's pixel block is then the stream itself.
    const bool bgr_stream = format == MORVA6_BGR;
    const bool rows_in_stream_order = bgr_stream && flip != 0;
    if (const int status = morva6::read_bmp(&record, path, rows_in_stream_order); status != MORVA6_IMG_OK) {
        return status;
    }

    const int pixel_bytes = made_pixel_bytes(format);
    *width = record.biWidth;
    *height = record.biHeight;
    if (pixel_bytes == 0) {
        std::fputs("UNIMPLEMENTED!!", stdout);
        return MORVA6_IMG_BAD_FORMAT;
    }
    if (bgr_stream && record.biBitCount == 24 && record.palette == nullptr) {
        *stream = record.data;
        record.data = nullptr;
        return MORVA6_IMG_OK;
    }
    std::uint8_t* block = nullptr;
    int status = imageInit(&block, record.biWidth, record.biHeight, pixel_bytes);
    MallocBlock owned(block);
    if (status == MORVA6_IMG_OK) status = BMP_to_Stream(owned.get(), &record, format);
    if (status != MORVA6_IMG_OK) {
        *width = 0;
        *height = 0;
        return status;
    }
    if (flip != 0 && !rows_in_stream_order) {
        morva6::reverse_rows(owned.get(), static_cast<std::size_t>(record.biWidth) * pixel_bytes,
                             static_cast<std::size_t>(record.biHeight));
    }
    *stream = owned.release();
    return MORVA6_IMG_OK;
}

int saveBMP_QW(const uint8_t* stream, int32_t width, int32_t height, const char* path, int32_t format, uint8_t flip) {
    if (!morva6::picture_fits(width, height)) {
        std::puts(kTooLarge);
        return MORVA6_IMG_TOO_LARGE;
    }
    if (stream == nullptr && width != 0 && height != 0) return MORVA6_IMG_BAD_ARGUMENT;
    if (format == MORVA6_BGR && width >= 1 && height >= 1) {
        // The stream's rows are the file's rows: written straight from it.
        BMP header = new_BMP();
        morva6::init_bmp_header(&header, width, height);
        return morva6::save_bmp(&header, stream, flip != 0, path);
    }
    BMP record = new_BMP();
    const RecordGuard release_record(&record);
    BMP_init(&record, width, height);
    if (record.data == nullptr) {
        std::puts(kRecordNoMemory);
        return MORVA6_IMG_NO_MEMORY;
    }
    // An unsupported format is reported and leaves the picture black; the
    // file is written all the same.
    Stream_to_BMP(&record, stream, format);
    if (flip != 0) {
        morva6::reverse_rows(record.data, static_cast<std::size_t>(width) * 3, static_cast<std::size_t>(height));
    }
    return BMP_save(&record, path);
}

int BMP_to_Stream(uint8_t* stream, const BMP* bmp, int32_t format) {
    if (bmp == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    const int pixel_bytes = made_pixel_bytes(format);
    if (pixel_bytes == 0) {
        std::fputs("UNIMPLEMENTED!!", stdout);
        return MORVA6_IMG_OK;
    }
    if (bmp->biWidth < 1 || bmp->biHeight < 1) return MORVA6_IMG_OK;
    if (!morva6::picture_fits(bmp->biWidth, bmp->biHeight)) return MORVA6_IMG_TOO_LARGE;
    std::size_t source_bytes = 1;
    if (bmp->palette == nullptr) {
        if (bmp->biBitCount != 24 && bmp->biBitCount != 32) return MORVA6_IMG_BAD_BIT_COUNT;
        source_bytes = bmp->biBitCount / 8;
    }
    if (bmp->data == nullptr || stream == nullptr) return MORVA6_IMG_BAD_ARGUMENT;

    const auto width = static_cast<std::size_t>(bmp->biWidth);
    std::vector<std::uint8_t> scratch;
    if (source_bytes != 3) {
        try {
            scratch.resize(width * 3);
        } catch (const std::bad_alloc&) {
            std::puts(kStreamNoMemory);
            return MORVA6_IMG_NO_MEMORY;
        }
    }
    const std::size_t stream_row_bytes = width * pixel_bytes;
    for (std::size_t row = 0; row < static_cast<std::size_t>(bmp->biHeight); ++row) {
        const std::uint8_t* bgr = record_row_as_bgr(*bmp, row, source_bytes, scratch.data());
        bgr_to_stream(format, stream + row * stream_row_bytes, bgr, width);
    }
    return MORVA6_IMG_OK;
}

int Stream_to_BMP(BMP* bmp, const uint8_t* stream, int32_t format) {
    if (bmp == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    if (!takes_stream_format(format)) {
        std::fputs("unfinished!!", stdout);
        return MORVA6_IMG_BAD_FORMAT;
    }
    if (bmp->biWidth < 1 || bmp->biHeight < 1) return MORVA6_IMG_OK;
    if (!morva6::picture_fits(bmp->biWidth, bmp->biHeight)) return MORVA6_IMG_TOO_LARGE;
    if (bmp->biBitCount != 24 || bmp->data == nullptr || stream == nullptr) {
        return MORVA6_IMG_BAD_ARGUMENT;
    }
    stream_to_bgr(format, bmp->data, stream, morva6::picture_bytes(bmp->biWidth, bmp->biHeight, 1));
    return MORVA6_IMG_OK;
}

}  // extern "C"
