#include "ulmarender/program/file_replace.h"

#include "common/replace_file.h"

WriteProblem write_file_replacing(const std::string& destination, std::string_view header,
                                  std::span<const unsigned char> body) {
    common::ReplaceFile file(destination);
    if (!file.is_open()) return WriteProblem::not_created;
    const bool written = file.write(header.data(), header.size()) && file.write(body.data(), body.size());
    return written && file.commit() ? WriteProblem::none : WriteProblem::not_written;
}

bool can_create_beside(const std::string& destination) {
    const common::ReplaceFile probe(destination);  // its temporary file goes with it
    return probe.is_open();
}
