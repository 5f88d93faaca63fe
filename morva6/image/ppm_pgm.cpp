// Binary PPM (P6, three bytes per pixel) and PGM (P5, one byte per pixel)
// files with 8-bit samples.
//
// The header is four tokens: the magic, width, height and the maximum sample
// value. A token is a run of letters and digits of at most four characters,
// ended by exactly one other byte, which is consumed; comments and runs of
// separators are not read. Anything else is refused with a status, and the
// reader never hands out a partly filled picture.
#include <morva6/morva6_image.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "common/bounded_read.h"
#include "common/formats/pnm.h"
#include "common/holders.h"
#include "common/replace_file.h"
#include "morva6/image/pixel_blocks.h"
#include "morva6/core/picture_size.h"

namespace {

using common::File;

// Width and height stay below 10000 with this limit.
constexpr std::size_t kMaxTokenLength = 4;

// One kind of picture file: its magic and bytes per pixel.
struct NetpbmKind {
    const char* magic;
    std::int32_t channels;
};
constexpr NetpbmKind kPpm{"P6", 3};
constexpr NetpbmKind kPgm{"P5", 1};

bool is_token_char(int byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// Reads one header token into `token`. Returns MORVA6_IMG_OK, or
// MORVA6_IMG_BAD_HEADER after printing why (token too long, empty token,
// end of file inside the header).
int read_token(std::FILE* file, std::string& token) {
    token.clear();
    for (;;) {
        const int byte = std::fgetc(file);
        if (byte == EOF) {
            std::puts("Invalid image header: the file ends inside the header");
            return MORVA6_IMG_BAD_HEADER;
        }
        if (!is_token_char(byte)) break;
        if (token.size() == kMaxTokenLength) {
            std::printf("Invalid image header: a token is longer than %zu characters\n", kMaxTokenLength);
            return MORVA6_IMG_BAD_HEADER;
        }
        token.push_back(static_cast<char>(byte));
    }
    if (token.empty()) {
        std::puts("Invalid image header: empty token");
        return MORVA6_IMG_BAD_HEADER;
    }
    return MORVA6_IMG_OK;
}

// The value of the leading decimal digits of a token; 0 when it has none.
std::int32_t token_value(const std::string& token) {
    std::int32_t value = 0;
    for (const char digit : token) {
        if (digit < '0' || digit > '9') break;
        value = value * 10 + (digit - '0');
    }
    return value;
}

int report_truncated(const char* path) {
    std::printf("'%s' holds fewer pixel bytes than its header announces\n", path);
    return MORVA6_IMG_TRUNCATED;
}

// Bytes between the current position and the end of a regular file;
// nothing for pipes and devices.
std::optional<std::uint64_t> bytes_left(std::FILE* file) {
    struct stat info {};
    const long position = std::ftell(file);
    if (position < 0 || fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    const auto size = static_cast<std::uint64_t>(info.st_size);
    return size > static_cast<std::uint64_t>(position) ? size - static_cast<std::uint64_t>(position) : 0;
}

int read_netpbm(std::uint8_t** image, std::int32_t* width, std::int32_t* height, const char* path,
                const NetpbmKind& kind) {
    if (image == nullptr || width == nullptr || height == nullptr || path == nullptr) {
        return MORVA6_IMG_BAD_ARGUMENT;
    }
    // Never waits on a pipe: a folder, a pipe or a device is no picture file.
    std::string problem;
    bool not_a_file = false;
    const File file(common::open_regular_file(path, problem, not_a_file));
    if (file == nullptr) {
        std::puts(not_a_file ? "Not a regular file: a picture cannot be read from a pipe or a device!"
                             : "Error opening file!");
        return MORVA6_IMG_OPEN_FAILED;
    }

    std::string magic;
    if (const int status = read_token(file.get(), magic)) return status;
    if (magic.compare(0, 2, kind.magic) != 0) {
        std::printf("Invalid image format (must be '%s')\n", kind.magic);
        return MORVA6_IMG_BAD_MAGIC;
    }
    std::string width_token, height_token, maximum_token;
    for (std::string* token : {&width_token, &height_token, &maximum_token}) {
        if (const int status = read_token(file.get(), *token)) return status;
    }
    *width = token_value(width_token);
    *height = token_value(height_token);
    if (token_value(maximum_token) != 255) {
        std::printf("'%s' does not have 8-bits components\n", path);
        return MORVA6_IMG_NOT_8_BIT;
    }
    // Four-digit sizes always fit; the check keeps that true if the token
    // limit ever grows.
    if (!morva6::picture_fits(*width, *height)) {
        std::printf("Image too large: %d x %d\n", *width, *height);
        return MORVA6_IMG_TOO_LARGE;
    }

    const std::size_t bytes = morva6::picture_bytes(*width, *height, kind.channels);
    // The file must hold the pixels before a picture-sized block is taken
    // (only a regular file's length is known before reading).
    if (const auto left = bytes_left(file.get()); left && *left < bytes) return report_truncated(path);
    morva6::MallocBlock pixels = morva6::allocate_zeroed(bytes);
    if (pixels == nullptr) {
        std::puts("imageInit malloc Error!!");
        return MORVA6_IMG_NO_MEMORY;
    }
    if (std::fread(pixels.get(), 1, bytes, file.get()) != bytes) return report_truncated(path);
    *image = pixels.release();
    return MORVA6_IMG_OK;
}

int save_netpbm(const std::uint8_t* image, std::int32_t width, std::int32_t height, const char* path,
                const NetpbmKind& kind) {
    if (path == nullptr) return MORVA6_IMG_BAD_ARGUMENT;
    if (!morva6::picture_fits(width, height)) return MORVA6_IMG_TOO_LARGE;
    const std::size_t bytes = morva6::picture_bytes(width, height, kind.channels);
    if (image == nullptr && bytes != 0) return MORVA6_IMG_BAD_ARGUMENT;

    common::ReplaceFile file(path);
    if (!file.is_open()) {
        std::puts("Error opening file!");
        return MORVA6_IMG_OPEN_FAILED;
    }
    const std::string header = common::pnm::header(kind.magic, width, height);
    if (!file.write(header.data(), header.size()) || !file.write(image, bytes) || !file.commit()) {
        std::puts("Error writing file!");
        return MORVA6_IMG_WRITE_FAILED;
    }
    return MORVA6_IMG_OK;
}

}  // namespace

extern "C" int readPPM_QW(uint8_t** image, int32_t* width, int32_t* height, const char* path) {
    return read_netpbm(image, width, height, path, kPpm);
}

extern "C" int readPGM_QW(uint8_t** image, int32_t* width, int32_t* height, const char* path) {
    return read_netpbm(image, width, height, path, kPgm);
}

extern "C" int savePPM_QW(const uint8_t* image, int32_t width, int32_t height, const char* path) {
    return save_netpbm(image, width, height, path, kPpm);
}

extern "C" int savePGM_QW(const uint8_t* image, int32_t width, int32_t height, const char* path) {
    return save_netpbm(image, width, height, path, kPgm);
}
