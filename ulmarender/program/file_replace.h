// Output files of the renderer, written with the project's replace-by-rename
// writer (common/replace_file.h): a failed run never destroys an earlier
// version, a symbolic link is written through, a replaced file keeps its mode.
#pragma once

#include <span>
#include <string>
#include <string_view>

enum class WriteProblem {
    none,
    not_created,  // the file (or its temporary) could not be created; errno tells why
    not_written,  // a write, the close or the final rename failed; errno tells why
};

// Writes header and body as the new content of `destination`. A destination
// that exists and is not a regular file (a terminal, /dev/null, a pipe) is
// written directly, since it cannot be replaced. On failure the destination
// is untouched and no temporary file is left behind.
WriteProblem write_file_replacing(const std::string& destination, std::string_view header,
                                  std::span<const unsigned char> body);

// True when write_file_replacing could create its temporary file for
// `destination` (the directory exists and is writable).
bool can_create_beside(const std::string& destination);
