#include "ulmarender/program/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

std::string directory_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A fixed-length name, so that a destination name near the file-system
// limit still gets a temporary beside it.
std::string temporary_pattern(const std::string& destination) {
    return directory_of(destination) + "/.ulmarender.XXXXXX";
}

// Mode of the new file: that of the file it replaces, or what fopen would
// give a new file (0666 less the umask).
mode_t mode_for(const std::string& destination) {
    struct stat info {};
    if (stat(destination.c_str(), &info) == 0) return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Writes everything and closes the stream; false when anything failed.
bool write_and_close(std::FILE* stream, std::string_view header, std::span<const unsigned char> body) {
    bool ok = std::fwrite(header.data(), 1, header.size(), stream) == header.size();
    if (ok && !body.empty()) ok = std::fwrite(body.data(), 1, body.size(), stream) == body.size();
    if (ok) ok = std::fflush(stream) == 0;
    const int saved_errno = errno;
    const bool closed = std::fclose(stream) == 0;
    if (!ok) errno = saved_errno;
    return ok && closed;
}

}  // namespace

WriteProblem write_file_replacing(const std::string& destination, std::string_view header,
                                  std::span<const unsigned char> body) {
    struct stat info {};
    if (stat(destination.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        std::FILE* stream = std::fopen(destination.c_str(), "wb");
        if (stream == nullptr) return WriteProblem::not_created;
        return write_and_close(stream, header, body) ? WriteProblem::none : WriteProblem::not_written;
    }

    const mode_t mode = mode_for(destination);
    std::string temporary = temporary_pattern(destination);
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return WriteProblem::not_created;
    fchmod(descriptor, mode);
    std::FILE* stream = fdopen(descriptor, "wb");
    if (stream == nullptr) {
        const int saved_errno = errno;
        close(descriptor);
        unlink(temporary.c_str());
        errno = saved_errno;
        return WriteProblem::not_created;
    }
    if (!write_and_close(stream, header, body) || std::rename(temporary.c_str(), destination.c_str()) != 0) {
        const int saved_errno = errno;
        unlink(temporary.c_str());
        errno = saved_errno;
        return WriteProblem::not_written;
    }
    return WriteProblem::none;
}

bool can_create_beside(const std::string& destination) {
    std::string temporary = temporary_pattern(destination);
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return false;
    close(descriptor);
    unlink(temporary.c_str());
    return true;
}
