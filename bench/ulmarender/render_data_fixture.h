// Inputs of the renderer benchmarks: a 3840 x 2160 photo-like picture and a
// render-data directory of one band (0 to 50 degrees) in a temporary folder,
// with a LUT of a plausible panel (levels squeezed into the inks' range,
// channels mixed a little, a small irregular jitter) and an eight-colour
// palette. Made once per benchmark program.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "photo_like_picture.h"

namespace ulma_bench {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr double kPixels = static_cast<double>(kWidth) * kHeight;
constexpr int kTemperature = 25;

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string lut_bytes() {
    std::string bytes;
    bytes.reserve((64 * 64 * 64 + 1) * 3);
    auto clamp = [](int v) { return static_cast<char>(std::clamp(v, 0, 255)); };
    for (int r = 0; r < 64; ++r)
        for (int g = 0; g < 64; ++g)
            for (int b = 0; b < 64; ++b) {
                const int vr = r * 4 + 2, vg = g * 4 + 2, vb = b * 4 + 2;
                const int jitter = ((r * 131 + g * 71 + b * 29) % 7) - 3;
                const int mr = (vr * 220 + vg * 25 + vb * 10) / 255;
                const int mg = (vr * 15 + vg * 225 + vb * 15) / 255;
                const int mb = (vr * 10 + vg * 30 + vb * 215) / 255;
                bytes += clamp(10 + mr * 228 / 255 + jitter);
                bytes += clamp(10 + mg * 228 / 255 - jitter);
                bytes += clamp(10 + mb * 228 / 255 + jitter / 2);
            }
    return bytes + std::string(3, '\0');
}

inline const char* kPaletteText =
    "16.00 1.50 -2.00\n73.00 -1.00 3.50\n68.00 -4.00 52.00\n40.00 36.00 22.00\n"
    "30.00 6.00 -30.00\n44.00 -26.00 10.00\n55.00 24.00 42.00\n33.00 18.00 -17.00\n";

struct Fixture {
    std::filesystem::path folder;
    std::string lot_dir;            // the render-data directory
    std::string lut_path;           // its LUT file of the band
    std::string palette_path;       // its palette data file of the band
    std::string input_ppm;          // the picture as a PPM file
    std::string output_pgm;         // where the whole-render benchmarks write
    std::vector<std::uint8_t> bgr;  // the picture, blue, green, red
};

inline std::filesystem::path& fixture_folder() {
    static std::filesystem::path folder;
    return folder;
}

// Built on first use in a temporary folder that goes when the program ends.
inline const Fixture& fixture() {
    static const Fixture made = [] {
        Fixture f;
        f.folder = std::filesystem::temp_directory_path() / ("ulma_bench_" + std::to_string(getpid()));
        fixture_folder() = f.folder;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(fixture_folder(), ignored);
        });
        const std::string lot = "ULMA_BENCH01_TC_03";
        const std::filesystem::path dir = f.folder / lot;
        std::filesystem::create_directories(dir);
        std::string waveform(64, '\0');
        waveform[38] = 0;  // one band
        waveform[48] = 0;
        waveform[49] = 50;
        write_file(dir / "ULMA_BENCH01_TC.wbf", waveform);
        f.lut_path = dir / "ULMA_BENCH01_lut_0Cto50C_03.bin";
        f.palette_path = dir / "ULMA_BENCH01_data_0Cto50C_03.bin";
        write_file(f.lut_path, lut_bytes());
        write_file(f.palette_path, kPaletteText);
        f.lot_dir = dir.string();

        const std::vector<std::uint8_t> rgb = bench::photo_like_picture(kWidth, kHeight, 7, true);
        f.input_ppm = f.folder / "picture.ppm";
        write_file(f.input_ppm, "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n" +
                                    std::string(rgb.begin(), rgb.end()));
        f.output_pgm = f.folder / "picture.pgm";
        f.bgr = rgb;
        for (std::size_t i = 0; i + 2 < f.bgr.size(); i += 3) std::swap(f.bgr[i], f.bgr[i + 2]);
        return f;
    }();
    return made;
}

// Sends what the renderer prints to /dev/null while it lives, so that the
// benchmark's own table stays readable.
class QuietStdout {
  public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            close(null);
        }
    }
    ~QuietStdout() {
        std::fflush(stdout);
        if (saved_ >= 0) {
            dup2(saved_, 1);
            close(saved_);
        }
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

  private:
    int saved_ = -1;
};

}  // namespace ulma_bench
