// Writing a file so that a failure never destroys an earlier version: the
// bytes go to a temporary file beside the destination, which replaces the
// destination only after every byte was written and the file was closed
// without error. Destinations that are not regular files (a terminal,
// /dev/null, a pipe) are written directly, since they cannot be replaced.
// A symbolic link is followed: the file it names is replaced, the link kept.
// A replaced file keeps its permissions.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace morva6 {

class AtomicFile {
public:
    // Opens the temporary file; check is_open() before writing.
    explicit AtomicFile(std::string destination);
    ~AtomicFile();  // removes the temporary file unless commit() succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool is_open() const { return stream_ != nullptr; }
    // Appends bytes; remembers a failure for commit().
    bool write(const void* data, std::size_t size);
    // Flushes and closes the file and moves it into place. False when any
    // write, the close or the rename failed; the destination is then untouched.
    bool commit();

private:
    std::string destination_;
    std::string temporary_;  // empty when writing the destination directly
    // Gives the stream a buffer larger than the default, so that rows
    // written one by one cost few system calls.
    void use_large_buffer();

    // That buffer; the destructor closes the stream before it is freed.
    std::unique_ptr<char[]> buffer_;
    std::FILE* stream_ = nullptr;
    bool failed_ = false;
};

}  // namespace morva6
