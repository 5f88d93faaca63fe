// The test kit shared by the tests, the fuzz targets' replay and the
// benchmarks: running a program, a scratch folder, whole-file helpers, a
// 64-bit hash and seeded numbers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with `words` in folder `where`; standard output and
// standard error are captured whole. A non-zero `memory_limit` (bytes) is
// set as the child's address-space limit before the program starts; a
// non-empty `name` is the program's argv[0] instead of its path.
ProgramRun run_program(const std::string& program, const std::vector<std::string>& words, const fs::path& where,
                       std::uint64_t memory_limit = 0, const std::string& name = "");

// Runs a shell command line in the current folder, captured like run_program.
inline ProgramRun run_command(const std::string& command) { return run_program("/bin/sh", {"-c", command}, "."); }

// A new, empty folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

  private:
    fs::path path_;
};

std::string read_file(const fs::path& path);
std::vector<std::uint8_t> read_bytes(const fs::path& path);
void write_file(const fs::path& path, const std::string& bytes);
void write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes);

// FNV-1a, 64 bits.
class Hash {
  public:
    void add(const std::uint8_t* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) value_ = (value_ ^ bytes[i]) * 0x100000001B3ULL;
    }
    void add(const std::vector<std::uint8_t>& bytes) { add(bytes.data(), bytes.size()); }
    void add_number(std::int64_t n) {
        for (int i = 0; i < 8; ++i) {
            const auto byte = static_cast<std::uint8_t>(static_cast<std::uint64_t>(n) >> (8 * i));
            add(&byte, 1);
        }
    }
    std::uint64_t value() const { return value_; }

  private:
    std::uint64_t value_ = 0xCBF29CE484222325ULL;
};

// xorshift64*: the same numbers on every machine.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 1) {}
    std::uint32_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1DULL) >> 32);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

  private:
    std::uint64_t state_;
};

// The bytes of a BMP file: the 54-byte headers (40-byte information
// header), an 8-bit file's colour table, then `pixels` as given (rows
// already padded by the caller). `height` negative for top-down rows.
std::vector<std::uint8_t> bmp_bytes(int width, int height, int bits, const std::vector<std::uint8_t>& pixels);

// The 64 x 64 x 64 colour table that maps every colour to itself (six bits
// widened), entries in blue-green-red or red-green-blue order, red slowest.
std::string identity_table(bool bgr);

// A six-ink LUT file block: the ideal inks, then identity_table(true).
std::vector<std::uint8_t> identity_lut();

}  // namespace test_support
