#include "common/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <new>
#include <vector>

namespace common {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 18;

// Follows symbolic links (relative ones from their own folder) to the path
// that is really written; other paths stay as they are.
std::string resolve_links(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t length = readlink(path.c_str(), target.data(), PATH_MAX);
        if (length < 0) return path;
        std::string next(target.data(), static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        if (next.front() != '/' && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        path = std::move(next);
    }
    return path;
}

// Creates a new file in the folder of `destination`, under a name of fixed
// length (so a destination name near the file system's limit still gets
// one), with the mode fopen would give a new file (0666 less the umask);
// -1 on failure.
int create_temporary(const std::string& destination, std::string& name) {
    const std::size_t slash = destination.rfind('/');
    name = (slash == std::string::npos ? std::string() : destination.substr(0, slash + 1)) + ".replace.XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    return fd;
}

}  // namespace

ReplaceFile::ReplaceFile(const std::string& destination) : destination_(resolve_links(destination)) {
    struct stat info {};
    const bool exists = stat(destination_.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) return;
    if (exists && !S_ISREG(info.st_mode)) {
        stream_ = std::fopen(destination_.c_str(), "wb");
    } else {
        std::string name;
        const int fd = create_temporary(destination_, name);
        if (fd < 0) return;
        if (exists) fchmod(fd, info.st_mode & 07777);
        stream_ = fdopen(fd, "wb");
        if (stream_ == nullptr) {
            close(fd);
            unlink(name.c_str());
            return;
        }
        temporary_ = std::move(name);
    }
    if (stream_ == nullptr) return;
    buffer_.reset(new (std::nothrow) char[kBufferBytes]);
    if (buffer_) std::setvbuf(stream_, buffer_.get(), _IOFBF, kBufferBytes);
}

ReplaceFile::~ReplaceFile() {
    if (stream_ != nullptr) std::fclose(stream_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
}

bool ReplaceFile::write(const void* data, std::size_t size) {
    if (stream_ == nullptr || failed_) return false;
    if (size != 0 && std::fwrite(data, 1, size, stream_) != size) failed_ = true;
    return !failed_;
}

bool ReplaceFile::commit() {
    if (stream_ == nullptr) return false;
    if (std::fflush(stream_) != 0 || std::ferror(stream_) != 0) failed_ = true;
    if (!failed_ && !temporary_.empty() && fsync(fileno(stream_)) != 0) failed_ = true;
    if (std::fclose(stream_) != 0) failed_ = true;
    stream_ = nullptr;
    if (failed_) return false;
    if (temporary_.empty()) return true;
    if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) return false;
    temporary_.clear();
    return true;
}

}  // namespace common
