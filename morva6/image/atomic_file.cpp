#include "morva6/image/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

namespace morva6 {
namespace {

// Creates a new file beside `destination` with the permissions fopen would
// give it (0666 less the umask, applied by the system); -1 on failure.
int create_temporary(const std::string& destination, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = destination + ".tmp" + std::to_string(getpid()) + "." + std::to_string(counter++);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The file a symbolic link points to, so that replacing it keeps the link;
// other paths as they are.
std::string resolve_link(std::string path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

}  // namespace

AtomicFile::AtomicFile(std::string destination) : destination_(resolve_link(std::move(destination))) {
    struct stat info {};
    const bool exists = stat(destination_.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        stream_ = std::fopen(destination_.c_str(), "wb");
        use_large_buffer();
        return;
    }
    std::string name;
    const int fd = create_temporary(destination_, name);
    if (fd < 0) return;
    // A replaced file keeps its permissions.
    if (exists) fchmod(fd, info.st_mode & 07777);
    stream_ = fdopen(fd, "wb");
    if (stream_ == nullptr) {
        close(fd);
        unlink(name.c_str());
        return;
    }
    temporary_ = std::move(name);
    use_large_buffer();
}

void AtomicFile::use_large_buffer() {
    constexpr std::size_t kBufferBytes = std::size_t{1} << 18;
    if (stream_ == nullptr) return;
    buffer_.reset(new (std::nothrow) char[kBufferBytes]);
    if (buffer_) std::setvbuf(stream_, buffer_.get(), _IOFBF, kBufferBytes);
}

AtomicFile::~AtomicFile() {
    if (stream_ != nullptr) std::fclose(stream_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
}

bool AtomicFile::write(const void* data, std::size_t size) {
    if (stream_ == nullptr || failed_) return false;
    if (size != 0 && std::fwrite(data, 1, size, stream_) != size) failed_ = true;
    return !failed_;
}

bool AtomicFile::commit() {
    if (stream_ == nullptr) return false;
    if (std::fflush(stream_) != 0 || std::ferror(stream_) != 0) failed_ = true;
    if (std::fclose(stream_) != 0) failed_ = true;
    stream_ = nullptr;
    if (failed_) return false;
    if (temporary_.empty()) return true;
    if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) return false;
    temporary_.clear();
    return true;
}

}  // namespace morva6
