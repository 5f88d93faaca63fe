#include "common/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace common {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

std::string reason(const std::string& name, const std::string& what) { return name + ": " + what; }

std::string size_text(std::size_t bytes) {
    if (bytes >= (std::size_t{1} << 20) && bytes % (std::size_t{1} << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

const char* kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a file";
    if (S_ISFIFO(mode)) return "is a pipe, not a file";
    if (S_ISSOCK(mode)) return "is a socket, not a file";
    return "is not a regular file";
}

// Reads until the end or until more than `max_bytes` arrived. `expected`
// is the size a regular file claims (a hint for the first allocation).
std::optional<std::vector<std::uint8_t>> read_all(int fd, const std::string& name, std::size_t max_bytes,
                                                  std::size_t expected, const StartCheck& check_start,
                                                  std::string& error) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(expected + 1);
    bool start_checked = !check_start;
    const auto start_refused = [&] {
        start_checked = true;
        const std::string problem = check_start(std::span(bytes).first(std::min(bytes.size(), kStartBytes)));
        if (!problem.empty()) error = reason(name, problem);
        return !problem.empty();
    };
    std::uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = reason(name, std::string("cannot read: ") + std::strerror(errno));
            return std::nullopt;
        }
        if (got == 0) {
            if (!start_checked && start_refused()) return std::nullopt;
            return bytes;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > max_bytes) {
            if (!start_checked && start_refused()) return std::nullopt;
            error = reason(name, "larger than " + size_text(max_bytes) + ", refused");
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (!start_checked && bytes.size() >= kStartBytes && start_refused()) return std::nullopt;
    }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> read_bounded(const std::string& path, std::size_t max_bytes,
                                                      std::string& error, Streams streams,
                                                      const StartCheck& check_start) {
    // A pipe is opened blocking (it waits for its writer); anything else
    // non-blocking, so that opening a FIFO or a device never hangs before
    // it is refused.
    struct stat before {};
    const bool stream_wanted = streams == Streams::allowed && stat(path.c_str(), &before) == 0 &&
                               (S_ISFIFO(before.st_mode) || S_ISCHR(before.st_mode));
    const Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | (stream_wanted ? 0 : O_NONBLOCK)));
    if (file.get() < 0) {
        error = reason(path, std::string("cannot open: ") + std::strerror(errno));
        return std::nullopt;
    }
    struct stat info {};
    if (fstat(file.get(), &info) != 0) {
        error = reason(path, std::string("cannot read: ") + std::strerror(errno));
        return std::nullopt;
    }
    if (S_ISREG(info.st_mode)) {
        if (static_cast<std::uint64_t>(info.st_size) > max_bytes) {
            error = reason(path, "larger than " + size_text(max_bytes) + ", refused");
            return std::nullopt;
        }
        const int flags = fcntl(file.get(), F_GETFL);
        if (flags >= 0) fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
        return read_all(file.get(), path, max_bytes, static_cast<std::size_t>(info.st_size), check_start, error);
    }
    const bool stream = S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode);
    if (!stream || streams == Streams::refused) {
        error = reason(path, kind_of(info.st_mode));
        return std::nullopt;
    }
    return read_all(file.get(), path, max_bytes, 0, check_start, error);
}

std::FILE* open_regular_file(const std::string& path, std::string& error, bool& opened) {
    opened = false;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = reason(path, std::string("cannot open: ") + std::strerror(errno));
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int saved = errno;
        error = reason(path, S_ISREG(info.st_mode) ? std::strerror(saved) : kind_of(info.st_mode));
        close(fd);
        opened = true;
        return nullptr;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) close(fd);
    return file;
}

std::optional<std::vector<std::uint8_t>> read_bounded_descriptor(int descriptor, const std::string& name,
                                                                 std::size_t max_bytes, std::string& error,
                                                                 const StartCheck& check_start) {
    struct stat info {};
    if (fstat(descriptor, &info) != 0) {
        error = reason(name, std::string("cannot read: ") + std::strerror(errno));
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode)) {
        error = reason(name, kind_of(info.st_mode));
        return std::nullopt;
    }
    return read_all(descriptor, name, max_bytes, 0, check_start, error);
}

}  // namespace common
