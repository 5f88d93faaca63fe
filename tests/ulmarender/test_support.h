// Helpers of the renderer tests: temporary directories, small files,
// render-data directories and PPM pictures made on the spot, and running the
// built programs as processes.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ulma_test {

namespace fs = std::filesystem;

// A fresh directory under the system's temporary directory, removed with
// everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "ulmatestXXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

inline void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("can not write " + path.string());
}

inline std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A binary PPM of w x h pixels given as red, green, blue bytes.
inline std::string ppm(int w, int h, const std::string& rgb) {
    return "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n" + rgb;
}

// A LUT file (64 x 64 x 64 entries of red, green, blue, plus three unused
// bytes) whose every entry is the given colour.
inline std::string constant_lut(unsigned char r, unsigned char g, unsigned char b) {
    std::string bytes;
    bytes.reserve(786435);
    for (int k = 0; k < 64 * 64 * 64; ++k) {
        bytes += static_cast<char>(r);
        bytes += static_cast<char>(g);
        bytes += static_cast<char>(b);
    }
    return bytes + std::string(3, '\0');
}

// A LUT file that gives every entry the centre of its own cell.
inline std::string identity_lut() {
    std::string bytes;
    bytes.reserve(786435);
    for (int r = 0; r < 64; ++r)
        for (int g = 0; g < 64; ++g)
            for (int b = 0; b < 64; ++b) {
                bytes += static_cast<char>(r * 4 + 2);
                bytes += static_cast<char>(g * 4 + 2);
                bytes += static_cast<char>(b * 4 + 2);
            }
    return bytes + std::string(3, '\0');
}

// Palette data text of eight equal colours.
inline std::string uniform_palette(const std::string& lab_triplet) {
    std::string text;
    for (int i = 0; i < 8; ++i) text += lab_triplet + "\n";
    return text;
}

// The waveform file of a table: byte 38 = bands - 1, boundaries at 48.
inline std::string waveform(const std::vector<int>& boundaries, std::size_t size = 64) {
    std::string bytes(size, '\0');
    bytes[38] = static_cast<char>(boundaries.size() - 2);
    for (std::size_t i = 0; i < boundaries.size() && 48 + i < size; ++i) {
        bytes[48 + i] = static_cast<char>(static_cast<std::int8_t>(boundaries[i]));
    }
    return bytes;
}

inline std::string band_text(int low, int high) {
    return std::to_string(low) + "Cto" + std::to_string(high) + "C";
}

// A render-data directory `lot_directory` inside `parent` with a waveform
// file for `boundaries` and, per band, the given LUT and palette files (an
// empty string leaves the file out). Returns the directory's path.
struct RenderData {
    std::string lot_directory = "ULMA_TEST01_TC_03";
    std::vector<int> boundaries = {-10, 0, 10, 25, 40, 60};
    std::string lut = constant_lut(128, 128, 128);
    std::string palette = uniform_palette("0 0 0");
};

inline std::string lut_name(const RenderData& data, int low, int high) {
    const std::string& dir = data.lot_directory;
    return dir.substr(0, dir.size() - 6) + "_lut_" + band_text(low, high) + "_" + dir.substr(dir.size() - 2) + ".bin";
}

inline std::string palette_name(const RenderData& data, int low, int high) {
    const std::string& dir = data.lot_directory;
    return dir.substr(0, dir.size() - 6) + "_data_" + band_text(low, high) + "_" + dir.substr(dir.size() - 2) + ".bin";
}

inline std::string make_render_data(const fs::path& parent, const RenderData& data) {
    const fs::path dir = parent / data.lot_directory;
    fs::create_directories(dir);
    const std::string lot_name = data.lot_directory.substr(0, data.lot_directory.size() - 3);
    write_file(dir / (lot_name + ".wbf"), waveform(data.boundaries));
    for (std::size_t r = 0; r + 1 < data.boundaries.size(); ++r) {
        const int low = data.boundaries[r];
        const int high = data.boundaries[r + 1];
        if (!data.lut.empty()) write_file(dir / lut_name(data, low, high), data.lut);
        if (!data.palette.empty()) write_file(dir / palette_name(data, low, high), data.palette);
    }
    return dir.string();
}

// `text` as an extended regular expression that matches it literally.
inline std::string regex_quote(const std::string& text) {
    std::string quoted;
    for (char c : text) {
        if (std::string_view("^$.|?*+()[]{}\\").find(c) != std::string_view::npos) quoted += '\\';
        quoted += c;
    }
    return quoted;
}

struct ProgramResult {
    std::string out;  // standard output
    std::string err;  // standard error
    int status = -1;  // exit status, or 1000 + signal number
};

// Waits, if needed, until a second has just begun, so that a short run
// started now ends within the same whole second.
inline void start_in_fresh_second() {
    timeval now {};
    gettimeofday(&now, nullptr);
    if (now.tv_usec > 400000) usleep(static_cast<useconds_t>(1000000 - now.tv_usec + 1000));
}

// Runs `program` with argv[0] = `name` and the given words in `cwd`.
inline ProgramResult run_program(const std::string& program, const std::string& name,
                                 const std::vector<std::string>& words, const fs::path& cwd) {
    TempDir capture;
    const std::string out_path = capture / "stdout";
    const std::string err_path = capture / "stderr";
    std::vector<std::string> all = {name};
    all.insert(all.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& word : all) argv.push_back(word.data());
    argv.push_back(nullptr);

    start_in_fresh_second();
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0) _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ProgramResult result;
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    result.out = read_file(out_path);
    result.err = read_file(err_path);
    return result;
}

}  // namespace ulma_test

// Expects `statement` to end the process with status 1 after printing
// `text` (standard output is sent to standard error for the check).
#define EXPECT_EXIT_ONE_PRINTING(statement, text)                                                   \
    EXPECT_EXIT(                                                                                   \
        {                                                                                          \
            std::fflush(stdout);                                                                   \
            dup2(2, 1);                                                                            \
            std::setvbuf(stdout, nullptr, _IONBF, 0);                                              \
            statement;                                                                             \
        },                                                                                         \
        ::testing::ExitedWithCode(1), ulma_test::regex_quote(text))

namespace ulma_test {

// A working directory for one run of a program: the picture pic.ppm (2 x 2
// grey pixels) and the render-data directory ULMA_TEST01_TC_03 with bands
// -10, 0, 10, 25, 40, 60 whose palette has eight black entries (so every
// pixel takes the last of them, index 7, PGM byte 56, and the proof is black).
class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override {
        cwd = fs::canonical(dir.path()).string();
        write_file(dir / "pic.ppm", ppm(2, 2, std::string(12, '\x80')));
        make_render_data(dir.path(), data);
    }

    std::string file(const std::string& name) const { return read_file(dir / name); }
    bool exists(const std::string& name) const { return fs::exists(dir / name); }

    TempDir dir;
    std::string cwd;
    RenderData data;
};

inline const std::string kPgmOf2x2Black = std::string("P5\n2 2\n255\n") + std::string(4, '\x38');
inline const std::string kBlackProofOf2x2 = std::string("P6\n2 2\n255\n") + std::string(12, '\0');

}  // namespace ulma_test

namespace ulma_test {

inline const std::string kVersion0302 = "Ulma render 0302.windows (18/11/2022)";
inline const std::string kVersion0301 = "Ulma render 0301.windows (08/02/2022)";

// The usage text for program name `name`.
inline std::string usage_text(const std::string& version, const std::string& name) {
    return "\n" + version + "\n" + "\nUsage: " + name +
           " [-p] <input file> <outputfile> <render_data_directory> <temperature>\n\n" + "    ex : " + name +
           " /home/pi/Desktop/ppm/ColorChecker24.ppm /home/pi/Desktop/ColorChecker24_output.pgm "
           "ulma_data/ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03 25\n\n" +
           "    ex : " + name +
           " -p /ppm/Logo.ppm Logo_output.pgm  ulma_data/ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03 23\n\n";
}

}  // namespace ulma_test
