// Every file of tests/corpus/<target>/ through the entry function of that
// fuzz target: the crashes and hangs found by fuzzing and the hand-made
// malformed files stay handled. The entry functions check their own
// invariants (abort) and the sanitizer build catches memory faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "replay_entries.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CorpusReplay : public testing::TestWithParam<ReplayEntry> {};

TEST_P(CorpusReplay, EveryFileIsHandled) {
    const fs::path folder = fs::path(CORPUS_DIR) / GetParam().name;
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    EXPECT_FALSE(files.empty()) << "no corpus for " << GetParam().name;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        const std::vector<std::uint8_t> bytes = read_bytes(file);
        // A copy of exactly the file's size, so reading past it is caught.
        const std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), exact.get());
        EXPECT_EQ(GetParam().run(exact.get(), bytes.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, CorpusReplay, testing::ValuesIn(kReplayEntries),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
