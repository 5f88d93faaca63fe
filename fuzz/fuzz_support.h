// Helpers shared by the fuzz targets: input bytes as a file that readers can
// open by path, a scratch directory, and taking small values from the front
// of the input. The targets are also compiled without libFuzzer into the
// corpus replay test, so nothing here depends on it.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tests/support/support.h"

// What an entry returns: libFuzzer wants 0; the corpus replay (built with
// FUZZ_REPLAY) compares the reader's status with the one recorded beside
// each corpus file. kSkipped marks inputs the harness does not pass on.
#ifdef FUZZ_REPLAY
#define FUZZ_RESULT(status) (status)
#else
#define FUZZ_RESULT(status) ((void)(status), 0)
#endif

namespace fuzz {

inline constexpr int kSkipped = 255;

using Bytes = std::span<const std::uint8_t>;

// The bytes as an anonymous in-memory file, opened through
// "/proc/self/fd/N" like any path; gone when the object goes.
class MemoryFile {
  public:
    explicit MemoryFile(Bytes bytes) : fd_(memfd_create("fuzz-input", 0)) {
        if (fd_ < 0) throw std::runtime_error("memfd_create failed");
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t n = write(fd_, bytes.data() + written, bytes.size() - written);
            if (n <= 0) throw std::runtime_error("memfd write failed");
            written += static_cast<std::size_t>(n);
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const char* path() const { return path_.c_str(); }

  private:
    int fd_;
    std::string path_;
};

// A folder of its own for the whole process, removed when it ends normally.
using ScratchDirectory = test_support::TempDir;

inline void write_file(const std::filesystem::path& path, std::string_view bytes) {
    test_support::write_file(path, std::string(bytes));
}

inline std::string_view as_text(Bytes bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

// Takes values from the front of the input; zero once it is used up.
class Front {
  public:
    explicit Front(Bytes bytes) : rest_(bytes) {}

    std::uint8_t byte() {
        if (rest_.empty()) return 0;
        const std::uint8_t value = rest_.front();
        rest_ = rest_.subspan(1);
        return value;
    }
    Bytes take(std::size_t count) {
        const Bytes taken = rest_.first(std::min(count, rest_.size()));
        rest_ = rest_.subspan(taken.size());
        return taken;
    }
    Bytes rest() const { return rest_; }

  private:
    Bytes rest_;
};

// Little-endian 32-bit value at `offset`, 0 when the input is shorter.
inline std::int32_t le32_at(Bytes bytes, std::size_t offset) {
    if (bytes.size() < offset + 4) return 0;
    return static_cast<std::int32_t>(std::uint32_t{bytes[offset]} | std::uint32_t{bytes[offset + 1]} << 8 |
                                     std::uint32_t{bytes[offset + 2]} << 16 | std::uint32_t{bytes[offset + 3]} << 24);
}

// Pictures the harness lets through: large ones cost time and memory
// without reaching new code. Sizes the product must refuse (width x height
// x 4 beyond int32) still pass, so their refusal is exercised.
inline constexpr std::int64_t kMaxPixels = 64 * 64;

inline bool size_is_bounded(std::int64_t width, std::int64_t height) {
    const std::int64_t pixels = (width < 0 ? -width : width) * (height < 0 ? -height : height);
    return pixels <= kMaxPixels || pixels > INT32_MAX / 4;
}

}  // namespace fuzz
