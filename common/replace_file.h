// Writing a file so that a failure never destroys an earlier version.
//
// The rule, the same for every program and tool:
// - the bytes go to a temporary file in the destination's own folder, which
//   is flushed, fsync'ed, then put in place of the destination by renaming;
//   where the file system offers unnamed temporary files (O_TMPFILE) the
//   temporary has no name until that moment, so a killed process leaves
//   nothing behind; otherwise a named temporary is removed on SIGINT and
//   SIGTERM (when the program has no handler of its own for them);
// - a symbolic link is written through: the file it names is replaced, the
//   link stays (a dangling link gets its target created);
// - a replaced file keeps its permission bits; a new file gets 0666 less the
//   umask, as fopen would give it;
// - a destination that is a directory is refused (is_open() is false);
// - other destinations that are not regular files (a terminal, /dev/null, a
//   pipe) cannot be replaced and are written directly, opened once;
// - on any failure, or when the object goes without commit(), nothing is
//   left behind: the temporary file is removed, the destination untouched.
//
//   common::ReplaceFile out(path);
//   if (!out.is_open()) ... cannot create;
//   out.write(bytes, size); ...            // failures are remembered
//   if (!out.commit()) ... write failed, old file kept;
//
// For one file in one go: common::write_file_replacing(path, header, body).
// For several files that must change together: common::OutputSet
// (common/output_set.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>

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
    // The new content complete and on disk (flushed and synced), not yet in
    // place. False when a write, the flush or the sync failed.
    bool finish();
    // Puts the finished content in place of the destination. False when
    // that failed; the destination is then untouched.
    bool publish();
    // finish() and publish().
    bool commit() { return finish() && publish(); }

  private:
    std::string destination_;
    std::string temporary_;  // a named temporary file, while it exists
    int slot_ = -1;          // its entry for the removal on a signal
    bool unnamed_ = false;   // an O_TMPFILE temporary, named only by publish()
    bool finished_ = false;
    std::unique_ptr<char[]> buffer_;  // outlives stream_
    std::FILE* stream_ = nullptr;
    bool failed_ = false;
};

// True when `path` names an existing file that is neither a regular file
// nor a directory (a pipe, a terminal, a device): such a file is written
// directly and cannot be replaced.
bool is_special_file(const std::string& path);

enum class WriteResult {
    written,
    not_created,  // the file (or its temporary) could not be created; errno tells why
    not_written,  // a write, the sync or the final rename failed; errno tells why
};

// Writes `header` then `body` as the new content of `path` with a
// ReplaceFile: all of it or, on failure, nothing changed.
WriteResult write_file_replacing(const std::string& path, std::string_view header,
                                 std::span<const std::uint8_t> body = {});

}  // namespace common
