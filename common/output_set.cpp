#include "common/output_set.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "common/replace_file.h"

namespace common {

void OutputSet::add(const std::string& path, std::string_view header, std::span<const std::uint8_t> body) {
    add(path, header, std::vector<std::uint8_t>(body.begin(), body.end()));
}

void OutputSet::add(const std::string& path, std::string_view header, std::vector<std::uint8_t>&& body) {
    outputs_.push_back({path, std::string(header), std::move(body)});
}

bool OutputSet::commit(std::string& error) {
    const auto failed = [&](const std::string& path, const char* what) {
        const int saved_errno = errno;
        failed_path_ = path;
        failed_to_create_ = std::strcmp(what, "cannot create") == 0;
        error = path + ": " + what + ": " + std::strerror(saved_errno);
        errno = saved_errno;
        return false;
    };
    std::vector<std::unique_ptr<ReplaceFile>> files;  // null for special files
    std::vector<const Output*> special;
    for (const Output& output : outputs_) {
        if (output.path == "-" || is_special_file(output.path)) {
            special.push_back(&output);
            files.push_back(nullptr);
            continue;
        }
        files.push_back(std::make_unique<ReplaceFile>(output.path));
        ReplaceFile& file = *files.back();
        if (!file.is_open()) return failed(output.path, "cannot create");
        if (!file.write(output.header.data(), output.header.size()) ||
            !file.write(output.body.data(), output.body.size()) || !file.finish())
            return failed(output.path, "cannot write");
    }
    for (const Output* output : special) {
        if (output->path == "-") {
            if (std::fwrite(output->header.data(), 1, output->header.size(), stdout) != output->header.size() ||
                std::fwrite(output->body.data(), 1, output->body.size(), stdout) != output->body.size() ||
                std::fflush(stdout) != 0)
                return failed("standard output", "cannot write");
        } else if (write_file_replacing(output->path, output->header, output->body) != WriteResult::written) {
            return failed(output->path, "cannot write");
        }
    }
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        if (files[i] && !files[i]->publish()) return failed(outputs_[i].path, "cannot put in place");
    }
    return true;
}

namespace {

struct Identity {
    std::string shown;
    std::string normal;                            // absolute, lexically normal
    std::optional<std::pair<dev_t, ino_t>> inode;  // when the file exists
    bool special = false;
};

Identity identify(const std::string& path) {
    Identity identity{path, {}, std::nullopt, false};
    std::error_code ignored;
    identity.normal = std::filesystem::absolute(path, ignored).lexically_normal().string();
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        identity.special = !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
        identity.inode = std::make_pair(info.st_dev, info.st_ino);
    }
    return identity;
}

bool same(const Identity& a, const Identity& b) {
    if (a.special || b.special) return false;
    return a.normal == b.normal || (a.inode && b.inode && *a.inode == *b.inode);
}

}  // namespace

std::string find_clash(std::span<const std::string> inputs, std::span<const std::string> outputs) {
    std::vector<Identity> seen_outputs;
    std::vector<Identity> seen_inputs;
    for (const std::string& input : inputs)
        if (input != "-") seen_inputs.push_back(identify(input));
    for (const std::string& output : outputs) {
        if (output == "-") continue;
        const Identity identity = identify(output);
        for (const Identity& input : seen_inputs)
            if (same(identity, input))
                return "the output " + output + " is the input " + input.shown + "; refusing to overwrite it";
        for (const Identity& earlier : seen_outputs)
            if (same(identity, earlier))
                return "the outputs " + earlier.shown + " and " + output + " are the same file";
        seen_outputs.push_back(identity);
    }
    return {};
}

}  // namespace common
