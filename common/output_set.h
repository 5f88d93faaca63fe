// The files of one run, changed together or not at all, and the check that
// no output of a run is one of its inputs or another of its outputs.
//
//   common::OutputSet outputs;
//   outputs.add(proof_path, header, proof_pixels);
//   outputs.add(pgm_path, header, codes);
//   if (!outputs.commit(error)) ...   // no file changed, no temporary left
//
// commit() writes every file to its temporary first (ReplaceFile); only
// when all of them are complete are they put in place. Outputs that are
// not regular files (a pipe, a terminal, /dev/null, and "-" for standard
// output) cannot wait in a temporary: they are written after every
// temporary is complete and before any rename.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class OutputSet {
  public:
    // Keeps a copy of the bytes; nothing is written before commit().
    void add(const std::string& path, std::string_view header, std::span<const std::uint8_t> body = {});
    // Takes the body over instead of copying it (a large picture).
    void add(const std::string& path, std::string_view header, std::vector<std::uint8_t>&& body);
    // False with `error` ("PATH: reason") when any file could not be
    // written; then no earlier file has changed.
    bool commit(std::string& error);
    // After a failed commit: the file that failed, and whether it (or its
    // temporary) could not even be created.
    const std::string& failed_path() const { return failed_path_; }
    bool failed_to_create() const { return failed_to_create_; }

  private:
    struct Output {
        std::string path;
        std::string header;
        std::vector<std::uint8_t> body;
    };
    std::vector<Output> outputs_;
    std::string failed_path_;
    bool failed_to_create_ = false;
};

// Whether writing `outputs` could destroy one of `inputs` or write one
// file twice: two names are the same file when they name the same device
// and inode (through links), or when they are the same path once made
// absolute and normal (also for files that do not exist yet). Files that
// are not regular (a pipe, a terminal, /dev/null) and the name "-"
// (standard input or output) never clash. Empty when there is no clash;
// otherwise a message naming both files.
std::string find_clash(std::span<const std::string> inputs, std::span<const std::string> outputs);

}  // namespace common
