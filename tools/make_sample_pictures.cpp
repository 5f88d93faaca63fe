// Writes photo-like sample pictures for the renderers, each as a 24-bit BMP
// and as a binary PPM (P6): a sky and ground scene with a soft sun, a chart
// of colour patches, a shaded skin-toned face, a grey ramp and a hue sweep,
// and fine detail (a zone plate, one-pixel stripes and a checkerboard). The
// pictures are the same on every run. Photographs given as PPM files are
// also written as BMP files of the same name, so the BMP-only renderer can
// take them.
//
// Usage: make_sample_pictures <output folder> [photo.ppm ...]
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r, g, b;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // top row first, red, green, blue
};

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(const Rgb& c, double f) { return {c.r * f, c.g * f, c.b * f}; }

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// Fully saturated colour of a hue in turns (0..1).
Rgb hueColour(double hue) {
    const double h = hue * 6.0;
    const auto channel = [h](double offset) {
        double d = std::fabs(std::fmod(h + offset, 6.0) - 3.0);
        return clamp01(d - 1.0) * 255.0;
    };
    return {channel(0.0), channel(4.0), channel(2.0)};
}

// Chart of natural and primary colours, six columns by four rows; the last
// row is a grey ramp.
constexpr std::array<Rgb, 24> kChart{{
    {112, 76, 60},   {197, 145, 125}, {87, 120, 155},  {82, 106, 60},   {126, 125, 174}, {98, 187, 166},
    {226, 118, 45},  {68, 91, 170},   {198, 82, 97},   {92, 60, 106},   {159, 190, 62},  {229, 161, 41},
    {45, 62, 147},   {68, 148, 73},   {177, 44, 56},   {238, 198, 20},  {188, 84, 150},  {0, 136, 166},
    {245, 245, 242}, {200, 201, 200}, {160, 161, 161}, {120, 121, 121}, {84, 84, 85},    {52, 52, 52},
}};

// Small deterministic grain, like film or sensor noise: a hash of the
// pixel position, -1..1.
double grain(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<double>(h & 0xFFFF) / 32767.5 - 1.0;
}

Rgb background(double u, double v, int x, int y) {
    if (v < 0.62) {
        const Rgb zenith{70, 120, 200};
        const Rgb horizon{235, 200, 170};
        Rgb sky = mix(zenith, horizon, v / 0.62);
        // A soft sun with a wide glow.
        const double du = (u - 0.86) * 1.6;
        const double dv = v - 0.14;
        const double distance = std::sqrt(du * du + dv * dv);
        const double glow = std::exp(-distance * distance * 40.0);
        sky = mix(sky, Rgb{255, 244, 214}, distance < 0.05 ? 1.0 : glow * 0.8);
        return sky;
    }
    const double depth = (v - 0.62) / 0.38;
    Rgb ground = mix(Rgb{120, 150, 70}, Rgb{70, 55, 35}, depth);
    // Rolling furrows.
    ground = scale(ground, 0.9 + 0.1 * std::sin(u * 40.0 + depth * 25.0));
    const double noise = grain(x, y) * 10.0;
    return {ground.r + noise, ground.g + noise, ground.b + noise};
}

// Shaded face: an ellipse lit from the upper left, from highlight to shadow.
bool face(double u, double v, double aspect, Rgb& out) {
    const double du = (u - 0.61) / 0.085 * aspect;
    const double dv = (v - 0.36) / 0.2;
    const double r2 = du * du + dv * dv;
    if (r2 > 1.0) return false;
    const double light = clamp01(0.75 - 0.35 * du - 0.25 * dv + 0.25 * std::sqrt(1.0 - r2));
    out = mix(Rgb{120, 72, 52}, Rgb{246, 206, 180}, light);
    // Cheeks.
    const double cheek = std::exp(-((std::fabs(du) - 0.45) * (std::fabs(du) - 0.45) + (dv - 0.2) * (dv - 0.2)) * 18.0);
    out = mix(out, Rgb{222, 130, 120}, cheek * 0.35);
    return true;
}

Picture makeScene(int width, int height) {
    Picture picture{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    const double aspect = static_cast<double>(width) / height;
    const int chartLeft = width * 3 / 100, chartTop = height * 5 / 100;
    const int patch = std::min(width * 40 / 100 / 6, height * 50 / 100 / 4);
    const int detailLeft = width * 78 / 100, detailTop = height * 30 / 100;
    const int detailSize = std::min(width * 19 / 100, height * 40 / 100);
    const int rampLeft = width * 3 / 100, rampRight = width - rampLeft;

    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width;
            const double v = (y + 0.5) / height;
            Rgb c = background(u, v, x, y);
            face(u, v, aspect, c);

            const int cx = x - chartLeft, cy = y - chartTop;
            if (cx >= 0 && cy >= 0 && cx < patch * 6 && cy < patch * 4) {
                const bool border = cx % patch < 2 || cy % patch < 2;
                c = border ? Rgb{20, 20, 20} : kChart[static_cast<std::size_t>(cy / patch * 6 + cx / patch)];
            }

            const int dx = x - detailLeft, dy = y - detailTop;
            if (dx >= 0 && dy >= 0 && dx < detailSize && dy < detailSize) {
                const int half = detailSize / 2;
                if (dy < half) {
                    // Zone plate: rings that get finer towards the edge.
                    const double px = dx - detailSize / 2.0, py = dy - half / 2.0;
                    const double level = 0.5 + 0.5 * std::cos((px * px + py * py) * 3.14159265 / detailSize);
                    c = {level * 255.0, level * 255.0, level * 255.0};
                } else if (dx < half) {
                    c = dy % 2 == 0 ? Rgb{230, 40, 40} : Rgb{40, 40, 230};  // one-pixel stripes
                } else {
                    c = (dx / 2 + dy / 2) % 2 == 0 ? Rgb{250, 250, 250} : Rgb{10, 10, 10};
                }
            }

            if (x >= rampLeft && x < rampRight) {
                const double t = static_cast<double>(x - rampLeft) / (rampRight - rampLeft - 1);
                if (v >= 0.80 && v < 0.87) c = {t * 255.0, t * 255.0, t * 255.0};
                if (v >= 0.88 && v < 0.96) c = hueColour(t);
            }

            std::uint8_t* out = &picture.rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            out[0] = static_cast<std::uint8_t>(std::lround(std::clamp(c.r, 0.0, 255.0)));
            out[1] = static_cast<std::uint8_t>(std::lround(std::clamp(c.g, 0.0, 255.0)));
            out[2] = static_cast<std::uint8_t>(std::lround(std::clamp(c.b, 0.0, 255.0)));
        }
    }
    return picture;
}

void putLe(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// 24-bit BMP: 54 header bytes, rows bottom first, blue, green, red, each row
// padded with zeros to a multiple of four bytes.
bool writeBmp(const std::string& path, const Picture& p) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(p.width) * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(p.height);
    std::vector<std::uint8_t> bytes{'B', 'M'};
    putLe(bytes, 54 + imageBytes, 4);
    putLe(bytes, 0, 4);
    putLe(bytes, 54, 4);
    putLe(bytes, 40, 4);
    putLe(bytes, static_cast<std::uint32_t>(p.width), 4);
    putLe(bytes, static_cast<std::uint32_t>(p.height), 4);
    putLe(bytes, 1, 2);
    putLe(bytes, 24, 2);
    putLe(bytes, 0, 4);
    putLe(bytes, imageBytes, 4);
    bytes.resize(bytes.size() + 16, 0);  // resolution and colour counts
    for (int y = p.height - 1; y >= 0; --y) {
        const std::uint8_t* row = &p.rgb[static_cast<std::size_t>(y) * p.width * 3];
        for (int x = 0; x < p.width; ++x) bytes.insert(bytes.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
        bytes.resize(bytes.size() + (rowBytes - static_cast<std::uint32_t>(p.width) * 3), 0);
    }
    return writeFile(path, bytes);
}

bool writePpm(const std::string& path, const Picture& p) {
    const std::string header = "P6\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n";
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), p.rgb.begin(), p.rgb.end());
    return writeFile(path, bytes);
}

// Reads a binary PPM with maximum value 255 (comments allowed in the header).
bool readPpm(const std::string& path, Picture& p) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    const auto readNumber = [file](int& value) {
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
        return true;  // the single blank after the number has been taken
    };
    int maxValue = 0;
    const bool ok = std::fgetc(file) == 'P' && std::fgetc(file) == '6' && readNumber(p.width) &&
                    readNumber(p.height) && readNumber(maxValue) && maxValue == 255 && p.width > 0 &&
                    p.height > 0;
    if (ok) {
        p.rgb.resize(static_cast<std::size_t>(p.width) * p.height * 3);
        const bool complete = std::fread(p.rgb.data(), 1, p.rgb.size(), file) == p.rgb.size();
        std::fclose(file);
        return complete;
    }
    std::fclose(file);
    return false;
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_sample_pictures <output folder> [photo.ppm ...]\n");
        return 2;
    }
    const std::string folder = argv[1];
    // The common size of six-ink panels, and a smaller one for quick runs.
    const std::array<std::array<int, 2>, 2> sizes{{{800, 480}, {600, 448}}};
    for (const auto& [width, height] : sizes) {
        const Picture picture = makeScene(width, height);
        const std::string stem = folder + "/sample_" + std::to_string(width) + "x" + std::to_string(height);
        if (!writeBmp(stem + ".bmp", picture) || !writePpm(stem + ".ppm", picture)) {
            std::fprintf(stderr, "make_sample_pictures: cannot write %s\n", stem.c_str());
            return 1;
        }
    }
    for (int i = 2; i < argc; ++i) {
        Picture photo;
        const std::string target = folder + "/" + baseName(argv[i]) + ".bmp";
        if (!readPpm(argv[i], photo) || !writeBmp(target, photo)) {
            std::fprintf(stderr, "make_sample_pictures: cannot convert %s to %s\n", argv[i], target.c_str());
            return 1;
        }
    }
    return 0;
}
