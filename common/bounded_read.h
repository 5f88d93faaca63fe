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
#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace common {

enum class Streams {
    refused,  // data files: regular files only
    allowed,  // pictures: a pipe, a terminal or a character device is read once, within the limit
};

// Looks at the first kStartBytes bytes of a file (fewer when the file is
// shorter) before the rest is read: empty when the file may be what it
// should, else the reason it is not. So an endless stream of the wrong kind
// is refused at once instead of at the limit.
inline constexpr std::size_t kStartBytes = 32;
using StartCheck = std::function<std::string(std::span<const std::uint8_t>)>;

// The whole content of `path`, at most `max_bytes` bytes; nothing, with
// `error` set to "PATH: reason", when the file cannot be opened, is not a
// regular file, is larger than the limit, fails `check_start`, or a read
// fails.
std::optional<std::vector<std::uint8_t>> read_bounded(const std::string& path, std::size_t max_bytes,
                                                      std::string& error, Streams streams = Streams::refused,
                                                      const StartCheck& check_start = {});

// The same from an open descriptor (standard input), read as a stream;
// `name` stands for the file in the messages. The descriptor stays open.
std::optional<std::vector<std::uint8_t>> read_bounded_descriptor(int descriptor, const std::string& name,
                                                                 std::size_t max_bytes, std::string& error,
                                                                 const StartCheck& check_start = {});

// Opens `path` for reading when it is a regular file, without ever waiting
// on a pipe: the stream, or null with `error` set ("PATH: reason") and
// `opened` telling whether the file exists but is no regular file (true) or
// could not be opened at all (false, errno tells why).
std::FILE* open_regular_file(const std::string& path, std::string& error, bool& opened);

}  // namespace common
