// Every file of tests/corpus/<target>/ through the entry function of that
// fuzz target, compared with the status recorded for it in
// tests/corpus/<target>.status (lines "<file> <status>"): the crashes found
// by fuzzing and the hand-made malformed files stay handled, each the way
// it was meant to be. A file without a recorded status fails the test; set
// CORPUS_PRINT=1 to print the lines of the statuses found.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "replay_entries.h"
#include "tests/support/support.h"

namespace {

namespace fs = std::filesystem;

class CorpusReplay : public testing::TestWithParam<ReplayEntry> {};

TEST_P(CorpusReplay, EveryFileGivesItsRecordedStatus) {
    const fs::path folder = fs::path(CORPUS_DIR) / GetParam().name;
    std::map<std::string, int> expected;
    std::ifstream manifest(folder.string() + ".status");
    for (std::string file; manifest >> file;) manifest >> expected[file];
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    EXPECT_FALSE(files.empty()) << "no corpus for " << GetParam().name;
    const bool print = std::getenv("CORPUS_PRINT") != nullptr;
    for (const fs::path& file : files) {
        const std::vector<std::uint8_t> bytes = test_support::read_bytes(file);
        // A copy of exactly the file's size, so reading past it is caught.
        const std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), exact.get());
        testing::internal::CaptureStdout();
        const int status = GetParam().run(exact.get(), bytes.size());
        testing::internal::GetCapturedStdout();
        const std::string name = file.filename().string();
        if (print) std::printf("%s %d\n", name.c_str(), status);
        const auto found = expected.find(name);
        if (found == expected.end()) {
            ADD_FAILURE() << name << " has no recorded status (it gives " << status << ")";
        } else {
            EXPECT_EQ(status, found->second) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, CorpusReplay, testing::ValuesIn(kReplayEntries),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
