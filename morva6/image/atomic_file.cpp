#include "morva6/image/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace morva6 {
namespace {

// Mode that a newly created file would get from fopen: 0666 less the umask.
mode_t new_file_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

AtomicFile::AtomicFile(std::string destination) : destination_(std::move(destination)) {
    struct stat info {};
    if (stat(destination_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        stream_ = std::fopen(destination_.c_str(), "wb");
        return;
    }
    std::string pattern = destination_ + ".tmpXXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return;
    fchmod(fd, new_file_mode());
    stream_ = fdopen(fd, "wb");
    if (stream_ == nullptr) {
        close(fd);
        unlink(pattern.c_str());
        return;
    }
    temporary_ = std::move(pattern);
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
