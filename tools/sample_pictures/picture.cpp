#include "common/formats/pnm.h"
#include "common/srgb.h"
#include "tools/sample_pictures/picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "common/bounded_read.h"
#include "common/holders.h"
#include "common/replace_file.h"

namespace sample_pictures {
namespace {

std::uint8_t to_byte(double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }

void put_le(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    return common::write_file_replacing(path, "", bytes) == common::WriteResult::written;
}

// One header number: skips whitespace and comments, then reads digits. The
// single whitespace character after the number is consumed with it.
bool read_number(std::FILE* file, int& value) {
    int ch = std::fgetc(file);
    while (ch == '#' || ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t') {
        if (ch == '#') {
            while (ch != '\n' && ch != EOF) ch = std::fgetc(file);
        }
        ch = std::fgetc(file);
    }
    if (ch < '0' || ch > '9') return false;
    long long number = 0;
    for (; ch >= '0' && ch <= '9'; ch = std::fgetc(file)) {
        number = number * 10 + (ch - '0');
        if (number > 100000) return false;
    }
    value = static_cast<int>(number);
    return ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t';
}

}  // namespace

Picture blank_picture(int width, int height) {
    return {width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
}

void put(Picture& picture, int x, int y, Rgb c) {
    std::uint8_t* p = &picture.rgb[(static_cast<std::size_t>(y) * picture.width + x) * 3];
    p[0] = to_byte(c.r);
    p[1] = to_byte(c.g);
    p[2] = to_byte(c.b);
}

Rgb at(const Picture& picture, int x, int y) {
    const std::uint8_t* p = &picture.rgb[(static_cast<std::size_t>(y) * picture.width + x) * 3];
    return {double(p[0]), double(p[1]), double(p[2])};
}

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Rgb scale(Rgb c, double factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

double srgb_to_linear(double encoded) { return common::srgb::to_linear(encoded); }

double linear_to_srgb(double linear) { return common::srgb::to_encoded(linear); }

Rgb hue_colour(double hue) {
    const double h = hue * 6.0;
    const auto channel = [h](double offset) {
        const double d = std::fabs(std::fmod(h + offset, 6.0) - 3.0);
        return clamp01(d - 1.0) * 255.0;
    };
    return {channel(0.0), channel(4.0), channel(2.0)};
}

double grain(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<double>(h & 0xFFFF) / 32767.5 - 1.0;
}

bool write_bmp(const std::string& path, const Picture& p) {
    const std::uint32_t row_bytes = (static_cast<std::uint32_t>(p.width) * 3 + 3) / 4 * 4;
    const std::uint32_t image_bytes = row_bytes * static_cast<std::uint32_t>(p.height);
    std::vector<std::uint8_t> bytes{'B', 'M'};
    bytes.reserve(54 + image_bytes);
    put_le(bytes, 54 + image_bytes, 4);
    put_le(bytes, 0, 4);
    put_le(bytes, 54, 4);
    put_le(bytes, 40, 4);
    put_le(bytes, static_cast<std::uint32_t>(p.width), 4);
    put_le(bytes, static_cast<std::uint32_t>(p.height), 4);
    put_le(bytes, 1, 2);
    put_le(bytes, 24, 2);
    put_le(bytes, 0, 4);
    put_le(bytes, image_bytes, 4);
    bytes.resize(bytes.size() + 16, 0);  // resolution and colour counts
    for (int y = p.height - 1; y >= 0; --y) {
        const std::uint8_t* row = &p.rgb[static_cast<std::size_t>(y) * p.width * 3];
        for (int x = 0; x < p.width; ++x) bytes.insert(bytes.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
        bytes.resize(bytes.size() + (row_bytes - static_cast<std::uint32_t>(p.width) * 3), 0);
    }
    return write_file(path, bytes);
}

bool write_ppm(const std::string& path, const Picture& p) {
    const std::string header = common::pnm::header("P6", p.width, p.height);
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), p.rgb.begin(), p.rgb.end());
    return write_file(path, bytes);
}

bool read_ppm(const std::string& path, Picture& p) {
    std::string problem;
    bool not_a_file = false;  // a pipe or a device: refused, never waited on
    const common::File file(common::open_regular_file(path, problem, not_a_file));
    if (!file) return false;
    int max_value = 0;
    int width = 0;
    int height = 0;
    if (std::fgetc(file.get()) != 'P' || std::fgetc(file.get()) != '6' || !read_number(file.get(), width) ||
        !read_number(file.get(), height) || !read_number(file.get(), max_value) || max_value != 255 || width < 1 ||
        height < 1) {
        return false;
    }
    p = blank_picture(width, height);
    return std::fread(p.rgb.data(), 1, p.rgb.size(), file.get()) == p.rgb.size();
}

}  // namespace sample_pictures
