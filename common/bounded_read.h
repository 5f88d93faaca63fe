// Reading a whole file with a bound, for every data file and picture the
// programs take from a user.
//
// The file is checked before its bytes are read: a folder, a device or
// another special file is refused (a pipe only where the caller allows
// streams), a regular file larger than the limit is refused from its size,
// and a stream is read only up to the limit. Every refusal is one line that
// names the file.
//
//   std::string error;
//   const auto bytes = common::read_bounded(path, 1 << 20, error);
//   if (!bytes) { report(error); ... }
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace common {

enum class Streams {
    refused,  // data files: regular files only
    allowed,  // pictures: a pipe, a terminal or a character device is read once, within the limit
};

// The whole content of `path`, at most `max_bytes` bytes; nothing, with
// `error` set to "PATH: reason", when the file cannot be opened, is not a
// regular file, is larger than the limit, or a read fails.
std::optional<std::vector<std::uint8_t>> read_bounded(const std::string& path, std::size_t max_bytes,
                                                      std::string& error, Streams streams = Streams::refused);

// The same from an open descriptor (standard input), read as a stream;
// `name` stands for the file in the messages. The descriptor stays open.
std::optional<std::vector<std::uint8_t>> read_bounded_descriptor(int descriptor, const std::string& name,
                                                                 std::size_t max_bytes, std::string& error);

}  // namespace common
