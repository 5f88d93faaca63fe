#include "tools/lut_builder/lut_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace lut_builder {
namespace {

void append_bgr(std::vector<std::uint8_t>& bytes, Rgb8 colour) {
    bytes.push_back(colour.b);
    bytes.push_back(colour.g);
    bytes.push_back(colour.r);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Mode that a newly created file would get: 0666 less the umask.
mode_t new_file_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string system_reason(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Writes everything and closes the file; the handle is released either way.
bool write_and_close(File file, std::span<const std::uint8_t> bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                         std::fflush(file.get()) == 0;
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace

std::vector<std::uint8_t> encode_morva6_lut(std::span<const Rgb8, kInkCount> inks,
                                            std::span<const Rgb8> table) {
    std::vector<std::uint8_t> bytes;
    if (table.size() != kTableEntries) return bytes;
    bytes.reserve(kMorva6LutSize);
    for (const Rgb8& ink : inks) append_bgr(bytes, ink);
    for (const Rgb8& entry : table) append_bgr(bytes, entry);
    return bytes;
}

std::vector<std::uint8_t> encode_ulma_lut(std::span<const Rgb8> table) {
    std::vector<std::uint8_t> bytes;
    if (table.size() != kTableEntries) return bytes;
    bytes.reserve(kUlmaLutSize);
    for (const Rgb8& entry : table) {
        bytes.push_back(entry.r);
        bytes.push_back(entry.g);
        bytes.push_back(entry.b);
    }
    bytes.insert(bytes.end(), 3, 0);
    return bytes;
}

bool write_file_replacing(const std::string& path, std::span<const std::uint8_t> bytes,
                          std::string& error) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        File file(std::fopen(path.c_str(), "wb"));
        if (!file) {
            error = system_reason("cannot open", path);
            return false;
        }
        if (!write_and_close(std::move(file), bytes)) {
            error = system_reason("cannot write", path);
            return false;
        }
        return true;
    }

    std::string temporary = path + ".tmpXXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        error = system_reason("cannot create a temporary file for", path);
        return false;
    }
    fchmod(descriptor, new_file_mode());
    File file(fdopen(descriptor, "wb"));
    if (!file) {
        error = system_reason("cannot open", temporary);
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }
    if (!write_and_close(std::move(file), bytes)) {
        error = system_reason("cannot write", temporary);
        unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = system_reason("cannot replace", path);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace lut_builder
