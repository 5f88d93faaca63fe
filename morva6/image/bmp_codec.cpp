// The BMP record and its file codec: reading a BMP file into a record,
// writing a record as a file, and nearest-neighbour resampling.
#include <morva6/morva6_image.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "common/bounded_read.h"
#include "common/holders.h"
#include "common/replace_file.h"
#include "morva6/image/bmp_rows.h"
#include "morva6/image/pixel_blocks.h"
#include "morva6/core/picture_size.h"

namespace {

using morva6::allocate_zeroed;
using morva6::MallocBlock;

constexpr std::uint16_t kSignature = 0x4D42;  // "BM"
constexpr std::size_t kHeaderBytes = 54;      // file header and 40-byte information header
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kNoCompression = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::size_t kPaletteEntries = 256;
constexpr std::size_t kColourTableBytes = kPaletteEntries * 4;
constexpr std::size_t kFileBufferBytes = std::size_t{1} << 18;

constexpr const char* kOpenFailed = "Error opening file!";
constexpr const char* kNotAFile = "Not a regular file: a BMP cannot be read from a pipe or a device!";
constexpr const char* kNoDataMemory = "malloc (*bmp).data error";
constexpr const char* kNoPaletteMemory = "malloc (*bmp).palette error";
constexpr const char* kBadBitCount = "Color Palette is not suported!!";
constexpr const char* kNotBmp = "Not a BMP file!";
constexpr const char* kBadCompression = "BMP compression is not supported!";
constexpr const char* kTooLarge = "BMP picture size is out of range!";
constexpr const char* kBadHeader = "BMP header is damaged or truncated!";
constexpr const char* kWriteFailed = "Error writing file!";
constexpr const char* kBadRecord = "BMP record holds no picture that can be saved!";

using common::File;

int report(int status, const char* message) {
    std::puts(message);
    return status;
}

template <class T>
T load_le(const std::uint8_t* bytes) {
    std::make_unsigned_t<T> value = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) {
        value = static_cast<std::make_unsigned_t<T>>((value << 8) | bytes[i]);
    }
    return static_cast<T>(value);
}

template <class T>
void store_le(std::uint8_t* bytes, T value) {
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<std::uint8_t>(bits & 0xFF);
        bits = static_cast<std::make_unsigned_t<T>>(bits >> 8);
    }
}

// Calls visit(file offset, field) for every header field of the record, in
// file order.
template <class Record, class Visit>
void visit_header_fields(Record& bmp, Visit&& visit) {
    visit(0, bmp.bfType);
    visit(2, bmp.bfSize);
    visit(6, bmp.bfReserved1);
    visit(8, bmp.bfReserved2);
    visit(10, bmp.bfOffBits);
    visit(14, bmp.biSize);
    visit(18, bmp.biWidth);
    visit(22, bmp.biHeight);
    visit(26, bmp.biPlanes);
    visit(28, bmp.biBitCount);
    visit(30, bmp.biCompression);
    visit(34, bmp.biSizeImage);
    visit(38, bmp.biXPelsPerMeter);
    visit(42, bmp.biYPelsPerMeter);
    visit(46, bmp.biClrUsed);
    visit(50, bmp.biClrImportant);
}

// Size of a regular file; nothing for pipes and devices.
std::optional<std::uint64_t> regular_file_size(std::FILE* file) {
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

// Reads up to `size` bytes at `offset`; the count actually read.
std::size_t read_at(std::FILE* file, std::uint64_t offset, void* into, std::size_t size) {
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return std::fread(into, 1, size, file);
}

// Rows are padded in the file to a multiple of four bytes.
std::size_t padded_row_bytes(std::size_t row_bytes) { return (row_bytes + 3) & ~std::size_t{3}; }

// Pixel data are read uncompressed, or as bit fields when those merely say
// "blue, green, red, fourth byte" for a 32-bit pixel (the masks follow the
// 40-byte information header). Returns a status.
int check_compression(std::FILE* file, const BMP& bmp) {
    if (bmp.biCompression == kNoCompression) return MORVA6_IMG_OK;
    if (bmp.biCompression != kBitFields || bmp.biBitCount != 32) {
        return report(MORVA6_IMG_BAD_COMPRESSION, kBadCompression);
    }
    std::array<std::uint8_t, 12> masks{};
    if (read_at(file, kHeaderBytes, masks.data(), masks.size()) != masks.size()) {
        return report(MORVA6_IMG_BAD_HEADER, kBadHeader);
    }
    const bool plain_bgr = load_le<std::uint32_t>(&masks[0]) == 0x00FF0000 &&
                           load_le<std::uint32_t>(&masks[4]) == 0x0000FF00 &&
                           load_le<std::uint32_t>(&masks[8]) == 0x000000FF;
    return plain_bgr ? MORVA6_IMG_OK : report(MORVA6_IMG_BAD_COMPRESSION, kBadCompression);
}

// Reads the colour table of an 8-bit file: biClrUsed entries when that is
// 1 to 256, else 256, right after the information header. Entries the file
// does not hold stay zero.
int read_palette(std::FILE* file, BMP& bmp, MallocBlock& palette) {
    palette = allocate_zeroed(kPaletteEntries * 4);
    if (!palette) return report(MORVA6_IMG_NO_MEMORY, kNoPaletteMemory);
    const std::size_t entries =
        bmp.biClrUsed >= 1 && bmp.biClrUsed <= kPaletteEntries ? bmp.biClrUsed : kPaletteEntries;
    read_at(file, std::uint64_t{14} + bmp.biSize, palette.get(), entries * 4);
    return MORVA6_IMG_OK;
}

// Bytes the pixel rows take from bfOffBits on: every row padded to a
// multiple of four, except that the last row's padding may be missing.
std::uint64_t pixel_data_bytes(std::size_t row_bytes, std::size_t rows) {
    if (row_bytes == 0 || rows == 0) return 0;
    return std::uint64_t{padded_row_bytes(row_bytes)} * (rows - 1) + row_bytes;
}

// `have` is known for regular files only.
int report_truncated(std::optional<std::uint64_t> have, std::uint64_t need) {
    if (have) {
        std::printf("BMP pixel data are truncated: the file holds %llu of the %llu pixel bytes its header announces!\n",
                    static_cast<unsigned long long>(*have), static_cast<unsigned long long>(need));
    } else {
        std::printf(
            "BMP pixel data are truncated: the file holds fewer than the %llu pixel bytes its header announces!\n",
            static_cast<unsigned long long>(need));
    }
    return MORVA6_IMG_TRUNCATED;
}

// Reads `rows` rows of `row_bytes` pixel bytes from the current position
// into `data`; the file's rows are stored in reverse order when `reverse`.
// False when the file ends before the last row's pixels (the padding after
// them may be missing).
bool read_pixel_rows(std::FILE* file, std::uint8_t* data, std::size_t row_bytes, std::size_t rows, bool reverse) {
    if (row_bytes == 0 || rows == 0) return true;
    const std::size_t padding = padded_row_bytes(row_bytes) - row_bytes;
    if (padding == 0 && !reverse) return std::fread(data, 1, row_bytes * rows, file) == row_bytes * rows;
    std::array<std::uint8_t, 3> skipped{};
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t row = reverse ? rows - 1 - i : i;
        if (std::fread(data + row * row_bytes, 1, row_bytes, file) != row_bytes) return false;
        if (i + 1 < rows && padding != 0 && std::fread(skipped.data(), 1, padding, file) != padding) {
            return false;
        }
    }
    return true;
}

// Header checks in the order a reader meets them; returns a status.
int check_headers(std::FILE* file, BMP& bmp, std::size_t header_bytes_read) {
    if (header_bytes_read < 2) return report(MORVA6_IMG_BAD_HEADER, kBadHeader);
    if (bmp.bfType != kSignature) return report(MORVA6_IMG_NOT_BMP, kNotBmp);
    const std::uint64_t headers_end = std::uint64_t{14} + bmp.biSize;
    const std::optional<std::uint64_t> file_size = regular_file_size(file);
    if (header_bytes_read < kHeaderBytes || bmp.biSize < kInfoHeaderBytes || (file_size && *file_size < headers_end) ||
        bmp.bfOffBits < headers_end) {
        return report(MORVA6_IMG_BAD_HEADER, kBadHeader);
    }
    if (bmp.biBitCount != 8 && bmp.biBitCount != 24 && bmp.biBitCount != 32) {
        return report(MORVA6_IMG_BAD_BIT_COUNT, kBadBitCount);
    }
    if (const int status = check_compression(file, bmp); status != MORVA6_IMG_OK) return status;
    // A negative height means the top row comes first in the file.
    const std::int64_t height = bmp.biHeight < 0 ? -std::int64_t{bmp.biHeight} : bmp.biHeight;
    if (height > INT32_MAX || !morva6::picture_fits(bmp.biWidth, height)) {
        return report(MORVA6_IMG_TOO_LARGE, kTooLarge);
    }
    return MORVA6_IMG_OK;
}

}  // namespace

namespace morva6 {

void init_bmp_header(BMP* bmp, std::int32_t width, std::int32_t height) {
    bmp->bfType = kSignature;
    bmp->bfReserved1 = 0;
    bmp->bfReserved2 = 0;
    bmp->bfOffBits = kHeaderBytes;
    bmp->biSize = kInfoHeaderBytes;
    bmp->biWidth = width;
    bmp->biHeight = height;
    bmp->biPlanes = 1;
    bmp->biBitCount = 24;
    bmp->biCompression = kNoCompression;
    // Meaningful only for sizes that fit (others get no pixel block);
    // unsigned arithmetic keeps the others from overflowing.
    const auto padded_row = static_cast<std::uint64_t>((std::int64_t{width} * 3 + 3) / 4 * 4);
    bmp->biSizeImage = static_cast<std::uint32_t>(padded_row * static_cast<std::uint64_t>(height));
    bmp->bfSize = bmp->biSizeImage + kHeaderBytes;
    bmp->biXPelsPerMeter = 0;
    bmp->biYPelsPerMeter = 0;
    bmp->biClrUsed = 0;
    bmp->biClrImportant = 0;
}

int read_bmp(BMP* bmp, const char* path, bool top_row_first) {
    // A larger stream buffer (it must outlive the stream), so that rows read
    // one by one (padded or reordered) cost few system calls.
    const std::unique_ptr<char[]> buffer(new (std::nothrow) char[kFileBufferBytes]);
    // The reader seeks to the colour table and the pixels: a pipe or a
    // device would be read wrongly (or forever), so it is refused as such,
    // without waiting for a pipe's writer.
    std::string problem;
    bool not_a_file = false;
    File file(path != nullptr ? common::open_regular_file(path, problem, not_a_file) : nullptr);
    if (!file) return report(MORVA6_IMG_OPEN_FAILED, not_a_file ? kNotAFile : kOpenFailed);
    if (buffer) std::setvbuf(file.get(), buffer.get(), _IOFBF, kFileBufferBytes);
    if (bmp == nullptr) return MORVA6_IMG_BAD_ARGUMENT;

    std::array<std::uint8_t, kHeaderBytes> header{};
    const std::size_t header_bytes_read = std::fread(header.data(), 1, header.size(), file.get());
    visit_header_fields(*bmp, [&](std::size_t offset, auto& field) {
        using Field = std::remove_reference_t<decltype(field)>;
        if (offset + sizeof(Field) <= header_bytes_read) field = load_le<Field>(&header[offset]);
    });
    if (const int status = check_headers(file.get(), *bmp, header_bytes_read); status != MORVA6_IMG_OK) {
        return status;
    }

    // The record holds the rows bottom row first whatever the file's order,
    // so its height is always positive, and its data are plain pixels.
    const bool top_down = bmp->biHeight < 0;
    if (top_down) bmp->biHeight = -bmp->biHeight;
    bmp->biCompression = kNoCompression;

    MallocBlock palette;
    if (bmp->biBitCount == 8) {
        if (const int status = read_palette(file.get(), *bmp, palette); status != MORVA6_IMG_OK) {
            return status;
        }
    }
    const std::size_t row_bytes = static_cast<std::size_t>(bmp->biWidth) * (bmp->biBitCount / 8);
    const auto rows = static_cast<std::size_t>(bmp->biHeight);
    // The file must hold the pixels before a picture-sized block is taken
    // (a pipe's length is known only by reading it).
    const std::uint64_t need = pixel_data_bytes(row_bytes, rows);
    const std::optional<std::uint64_t> file_size = regular_file_size(file.get());
    if (file_size && *file_size < bmp->bfOffBits + need) {
        return report_truncated(*file_size > bmp->bfOffBits ? *file_size - bmp->bfOffBits : 0, need);
    }
    MallocBlock data = allocate_zeroed(row_bytes * rows);
    if (!data) return report(MORVA6_IMG_NO_MEMORY, kNoDataMemory);
    if (need != 0 && (std::fseek(file.get(), static_cast<long>(bmp->bfOffBits), SEEK_SET) != 0 ||
                      !read_pixel_rows(file.get(), data.get(), row_bytes, rows, top_down != top_row_first))) {
        return report_truncated(std::nullopt, need);
    }
    bmp->palette = palette.release();
    bmp->data = data.release();
    return MORVA6_IMG_OK;
}

namespace {

// The file of a record as save_bmp writes it, handed to `write` piece by
// piece; false as soon as `write` fails. The record must have been checked.
bool encode_bmp(const BMP* bmp, const std::uint8_t* data, bool top_row_first,
                const std::function<bool(const void*, std::size_t)>& write) {
    // The fields that say where the pixels lie describe the file as written
    // (a 40-byte information header, the colour table of an 8-bit record,
    // uncompressed rows), whatever file the record was read from; the other
    // fields are written as the record holds them.
    const std::size_t pixel_bytes = bmp->biBitCount / 8;
    const std::size_t row_bytes = static_cast<std::size_t>(bmp->biWidth) * pixel_bytes;
    const std::size_t padding = padded_row_bytes(row_bytes) - row_bytes;
    const bool with_table = pixel_bytes == 1 && bmp->palette != nullptr;
    const std::size_t data_offset = kHeaderBytes + (with_table ? kColourTableBytes : 0);
    const std::size_t image_bytes = padded_row_bytes(row_bytes) * static_cast<std::size_t>(bmp->biHeight);
    BMP layout = *bmp;
    layout.biSize = static_cast<std::uint32_t>(kInfoHeaderBytes);
    layout.bfOffBits = static_cast<std::uint32_t>(data_offset);
    layout.biCompression = 0;
    layout.biSizeImage = static_cast<std::uint32_t>(image_bytes);
    layout.bfSize = static_cast<std::uint32_t>(image_bytes + data_offset);

    std::array<std::uint8_t, kHeaderBytes> header{};
    visit_header_fields(layout, [&](std::size_t offset, const auto& field) { store_le(&header[offset], field); });
    if (!write(header.data(), header.size())) return false;
    if (with_table && !write(bmp->palette, kColourTableBytes)) return false;
    const std::array<std::uint8_t, 3> zeros{};
    if (row_bytes != 0) {
        const auto rows = static_cast<std::size_t>(bmp->biHeight);
        for (std::size_t i = 0; i < rows; ++i) {
            const std::size_t row = top_row_first ? rows - 1 - i : i;
            if (!write(data + row * row_bytes, row_bytes)) return false;
            if (padding != 0 && !write(zeros.data(), padding)) return false;
        }
    }
    return true;
}

// Whether the record can be written: sizes that fit, and a pixel block
// unless the picture is empty.
bool savable(const BMP* bmp, const std::uint8_t* data) {
    const std::size_t pixel_bytes = bmp->biBitCount / 8;
    const bool fits = morva6::picture_fits(bmp->biWidth, bmp->biHeight) && pixel_bytes <= 4;
    return fits &&
           (data != nullptr || morva6::picture_bytes(bmp->biWidth, bmp->biHeight, static_cast<int>(pixel_bytes)) == 0);
}

}  // namespace

int save_bmp(const BMP* bmp, const std::uint8_t* data, bool top_row_first, const char* path) {
    if (bmp == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    if (!savable(bmp, data)) return report(MORVA6_IMG_BAD_ARGUMENT, kBadRecord);
    if (path == nullptr) return report(MORVA6_IMG_OPEN_FAILED, kOpenFailed);
    common::ReplaceFile file(path);
    if (!file.is_open()) return report(MORVA6_IMG_OPEN_FAILED, kOpenFailed);
    encode_bmp(bmp, data, top_row_first, [&](const void* bytes, std::size_t size) { return file.write(bytes, size); });
    if (!file.commit()) return report(MORVA6_IMG_WRITE_FAILED, kWriteFailed);
    return MORVA6_IMG_OK;
}

std::vector<std::uint8_t> bgr_bmp_file(const std::uint8_t* bgr, std::int32_t width, std::int32_t height,
                                       bool top_row_first) {
    BMP header = new_BMP();
    init_bmp_header(&header, width, height);
    std::vector<std::uint8_t> file;
    if (width < 1 || height < 1 || !savable(&header, bgr)) return file;
    encode_bmp(&header, bgr, top_row_first, [&](const void* bytes, std::size_t size) {
        const auto* from = static_cast<const std::uint8_t*>(bytes);
        file.insert(file.end(), from, from + size);
        return true;
    });
    return file;
}

}  // namespace morva6

extern "C" {

BMP new_BMP(void) { return BMP{}; }

void BMP_init(BMP* bmp, int32_t width, int32_t height) {
    if (bmp == nullptr) return;
    morva6::init_bmp_header(bmp, width, height);
    bmp->data = morva6::picture_fits(width, height) ? allocate_zeroed(morva6::picture_bytes(width, height, 3)).release()
                                                    : nullptr;
}

int BMP_read(BMP* bmp, const char* path) { return morva6::read_bmp(bmp, path, false); }

int BMP_save(const BMP* bmp, const char* path) {
    return morva6::save_bmp(bmp, bmp != nullptr ? bmp->data : nullptr, false, path);
}
void BMP_resize(BMP* bmp, int32_t width, int32_t height) {
    if (bmp == nullptr || bmp->biBitCount != 24) return;
    const std::int32_t old_width = bmp->biWidth;
    const std::int32_t old_height = bmp->biHeight;
    if (!morva6::picture_fits(width, height) || !morva6::picture_fits(old_width, old_height)) return;
    MallocBlock resized = allocate_zeroed(morva6::picture_bytes(width, height, 3));
    if (!resized) return;  // the record stays as it was

    const bool has_source = old_width >= 1 && old_height >= 1 && bmp->data != nullptr;
    if (width >= 1 && height >= 1 && has_source) {
        const double sx = static_cast<double>(width) / old_width;
        const double sy = static_cast<double>(height) / old_height;
        for (std::int32_t y = 0; y < height; ++y) {
            const auto source_row = std::min(static_cast<std::int32_t>(y / sy), old_height - 1);
            for (std::int32_t x = 0; x < width; ++x) {
                const auto source_column = std::min(static_cast<std::int32_t>(x / sx), old_width - 1);
                const std::uint8_t* from =
                    bmp->data + (static_cast<std::size_t>(source_row) * old_width + source_column) * 3;
                std::uint8_t* to = resized.get() + (static_cast<std::size_t>(y) * width + x) * 3;
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        }
    }
    std::free(bmp->data);
    bmp->data = resized.release();
    bmp->biWidth = width;
    bmp->biHeight = height;
    bmp->biSizeImage = static_cast<std::uint32_t>(padded_row_bytes(static_cast<std::size_t>(width) * 3) *
                                                  static_cast<std::size_t>(height));
    bmp->bfSize = bmp->biSizeImage + kHeaderBytes;
    std::free(bmp->palette);
    bmp->palette = nullptr;
}

void BMP_release(BMP* bmp) {
    if (bmp == nullptr) return;
    std::free(bmp->palette);
    std::free(bmp->data);
    *bmp = BMP{};
}

}  // extern "C"
