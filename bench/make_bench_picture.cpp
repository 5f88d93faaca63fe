// Writes the deterministic photo-like benchmark picture (the one the
// benchmark programs use) as a 24-bit BMP and as a binary PPM (P6), so that
// whole program runs can be timed on the same input:
//
//   make_bench_picture <output stem> [width height [seed]]
//   make_bench_picture --photo <photograph.ppm> <output stem> [width height]
//
// writes <output stem>.bmp and <output stem>.ppm; the size defaults to
// 3840 x 2160 and the seed to 7. With --photo the picture is the
// photograph enlarged to cover that size (as the six-ink benchmarks use it).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/formats/pnm.h"
#include "common/replace_file.h"
#include "photo_like_picture.h"
#include "photo_picture.h"

namespace {

bool write_file(const std::string& path, const std::string& header, const std::vector<std::uint8_t>& body) {
    switch (common::write_file_replacing(path, header, body)) {
        case common::WriteResult::written:
            return true;
        case common::WriteResult::not_created:
            std::perror(path.c_str());
            return false;
        case common::WriteResult::not_written:
            break;
    }
    std::fprintf(stderr, "make_bench_picture: can not write %s\n", path.c_str());
    return false;
}

void put_le(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Bottom row first, blue, green, red, rows padded to four bytes.
bool write_bmp(const std::string& path, int width, int height, const std::vector<std::uint8_t>& bgr) {
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    const std::size_t stride = (row + 3) / 4 * 4;
    std::vector<std::uint8_t> body(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = bgr.data() + static_cast<std::size_t>(height - 1 - y) * row;
        std::copy(from, from + row, body.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * stride));
    }
    std::string header = "BM";
    put_le(header, static_cast<std::uint32_t>(54 + body.size()), 4);
    put_le(header, 0, 4);
    put_le(header, 54, 4);
    put_le(header, 40, 4);
    put_le(header, static_cast<std::uint32_t>(width), 4);
    put_le(header, static_cast<std::uint32_t>(height), 4);
    put_le(header, 1, 2);
    put_le(header, 24, 2);
    put_le(header, 0, 4);
    put_le(header, static_cast<std::uint32_t>(body.size()), 4);
    put_le(header, 2835, 4);
    put_le(header, 2835, 4);
    put_le(header, 0, 4);
    put_le(header, 0, 4);
    return write_file(path, header, body);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::puts("make_bench_picture " MORVA6_VERSION);
        return 0;
    }
    const bool help = argc == 2 && std::string(argv[1]) == "--help";
    std::string photo;
    if (argc >= 3 && std::string(argv[1]) == "--photo") {
        photo = argv[2];
        argv += 2;
        argc -= 2;
    }
    if ((argc != 2 && argc != 4 && argc != 5) || help || (!photo.empty() && argc == 5)) {
        std::fprintf(help ? stdout : stderr,
                     "usage: make_bench_picture <output stem> [width height [seed]]\n"
                     "       make_bench_picture --photo <photograph.ppm> <output stem> [width height]\n");
        return help ? 0 : 2;
    }
    const std::string stem = argv[1];
    const int width = argc >= 4 ? std::atoi(argv[2]) : 3840;
    const int height = argc >= 4 ? std::atoi(argv[3]) : 2160;
    const auto seed = argc == 5 ? std::strtoull(argv[4], nullptr, 10) : 7ull;
    if (width < 1 || height < 1 || width > 20000 || height > 20000) {
        std::fprintf(stderr, "make_bench_picture: width and height must be 1 to 20000\n");
        return 2;
    }
    const std::vector<std::uint8_t> bgr =
        photo.empty() ? bench::photo_like_picture(width, height, seed) : bench::photo_picture(photo, width, height);
    if (bgr.empty()) {
        std::fprintf(stderr, "make_bench_picture: %s: not a readable 8-bit binary PPM\n", photo.c_str());
        return 1;
    }
    std::vector<std::uint8_t> rgb = bgr;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) std::swap(rgb[i], rgb[i + 2]);
    const std::string ppm_header = common::pnm::header("P6", width, height);
    const bool ok = write_bmp(stem + ".bmp", width, height, bgr) && write_file(stem + ".ppm", ppm_header, rgb);
    return ok ? 0 : 1;
}
