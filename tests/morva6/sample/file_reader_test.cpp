// Whole-file reader: exact bytes, and failures that leave no block behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "morva6/sample/file_reader.h"
#include "test_files.h"

namespace {

struct ReadResult {
    std::int32_t status;
    std::int32_t size;
    std::unique_ptr<std::uint8_t, decltype(&std::free)> block{nullptr, &std::free};
    bool blockWasNull;
    std::string output;
};

ReadResult readWhole(const std::string& path) {
    std::uint8_t marker = 0;
    std::uint8_t* block = &marker;  // must be overwritten
    std::int32_t size = -77;                                        // kept when the file is not opened
    testing::internal::CaptureStdout();
    const std::int32_t status = readBinaryFile_QW(path.c_str(), &block, &size);
    ReadResult result{status, size, {nullptr, &std::free}, block == nullptr, testing::internal::GetCapturedStdout()};
    result.block.reset(block);
    return result;
}

TEST(FileReader, ReadsEveryByte) {
    sample_test::ScratchFolder folder;
    std::vector<std::uint8_t> bytes(70001);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    bytes[10] = 0x1A;  // no text-mode translation
    bytes[11] = '\r';
    bytes[12] = '\n';
    sample_test::writeFile(folder.path("lut.bin"), bytes);

    const ReadResult result = readWhole(folder.path("lut.bin"));
    ASSERT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "");
    ASSERT_EQ(result.size, 70001);
    ASSERT_NE(result.block, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(result.block.get(), result.block.get() + result.size), bytes);
}

TEST(FileReader, EmptyFileGivesABlockOfNoBytes) {
    sample_test::ScratchFolder folder;
    sample_test::writeFile(folder.path("empty.bin"), {});
    const ReadResult result = readWhole(folder.path("empty.bin"));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.size, 0);
    EXPECT_NE(result.block, nullptr);
}

TEST(FileReader, MissingFilePrintsItsNameAndLeavesTheSize) {
    sample_test::ScratchFolder folder;
    const std::string path = folder.path("missing.bin");
    const ReadResult result = readWhole(path);
    EXPECT_EQ(result.status, -1);
    EXPECT_TRUE(result.blockWasNull);
    EXPECT_EQ(result.size, -77);
    EXPECT_EQ(result.output, "ERROR: Failed to open LUT file " + path + " \n");
}

TEST(FileReader, FolderCannotBeReadWhole) {
    sample_test::ScratchFolder folder;
    const std::string path = folder.path("");
    const ReadResult result = readWhole(path);
    EXPECT_EQ(result.status, -1);
    EXPECT_TRUE(result.blockWasNull);
    EXPECT_EQ(result.output.rfind("ERROR: Failed to ", 0), 0u) << result.output;
    EXPECT_EQ(result.output.substr(result.output.size() - path.size() - 2), path + " \n");
}

}  // namespace
