// Writing a file so that a failure never destroys an earlier version.
//
// The rule, the same for every program and tool:
// - the bytes go to a temporary file in the destination's own folder, which
//   is flushed, fsync'ed and closed, then renamed over the destination;
// - a symbolic link is written through: the file it names is replaced, the
//   link stays (a dangling link gets its target created);
// - a replaced file keeps its permission bits; a new file gets 0666 less the
//   umask, as fopen would give it;
// - a destination that is a directory is refused (is_open() is false);
// - other destinations that are not regular files (a terminal, /dev/null, a
//   pipe) cannot be replaced and are written directly;
// - on any failure, or when the object goes without commit(), nothing is
//   left behind: the temporary file is removed, the destination untouched.
//
//   common::ReplaceFile out(path);
//   if (!out.is_open()) ... cannot create;
//   out.write(bytes, size); ...            // failures are remembered
//   if (!out.commit()) ... write failed, old file kept;
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace common {

class ReplaceFile {
public:
    explicit ReplaceFile(const std::string& destination);
    ~ReplaceFile();
    ReplaceFile(const ReplaceFile&) = delete;
    ReplaceFile& operator=(const ReplaceFile&) = delete;

    bool is_open() const { return stream_ != nullptr; }
    // Appends bytes; false once any write failed.
    bool write(const void* data, std::size_t size);
    // Flushes, syncs, closes and renames. False when any write, the sync,
    // the close or the rename failed; the destination is then untouched.
    bool commit();

private:
    std::string destination_;
    std::string temporary_;  // empty when writing the destination directly
    std::unique_ptr<char[]> buffer_;  // outlives stream_
    std::FILE* stream_ = nullptr;
    bool failed_ = false;
};

}  // namespace common
