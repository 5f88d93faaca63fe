// Output files are replaced only by complete new content, and the output
// check never changes an existing file.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "ulmarender/file_replace.h"
#include "ulmarender/run_script.h"
#include "ulmarender/test_support.h"

namespace {

using ulma_test::TempDir;
namespace fs = std::filesystem;

std::span<const unsigned char> bytes_of(const std::string& text) {
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

std::size_t entries_in(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(ReplacingWrite, CreatesTheFileWithHeaderAndBody) {
    TempDir dir;
    const mode_t mask = umask(022);
    EXPECT_EQ(write_file_replacing(dir / "out.pgm", "P5\n1 1\n255\n", bytes_of("\x38")), WriteProblem::none);
    umask(mask);
    EXPECT_EQ(ulma_test::read_file(dir / "out.pgm"), "P5\n1 1\n255\n\x38");
    struct stat info {};
    ASSERT_EQ(stat((dir / "out.pgm").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(entries_in(dir.path()), 1u) << "no temporary file is left";
}

TEST(ReplacingWrite, ReplacesAnExistingFileAndKeepsItsMode) {
    TempDir dir;
    ulma_test::write_file(dir / "out.pgm", "old content that is longer");
    chmod((dir / "out.pgm").c_str(), 0600);
    EXPECT_EQ(write_file_replacing(dir / "out.pgm", "new", {}), WriteProblem::none);
    EXPECT_EQ(ulma_test::read_file(dir / "out.pgm"), "new");
    struct stat info {};
    ASSERT_EQ(stat((dir / "out.pgm").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(entries_in(dir.path()), 1u);
}

TEST(ReplacingWrite, WritesDevicesDirectly) {
    EXPECT_EQ(write_file_replacing("/dev/null", "P5\n", bytes_of("x")), WriteProblem::none);
    EXPECT_EQ(write_file_replacing("/dev/full", "P5\n", bytes_of("x")), WriteProblem::not_written);
}

TEST(ReplacingWrite, MissingDirectoryIsNotCreated) {
    EXPECT_EQ(write_file_replacing("/nonexistent/dir/out.pgm", "P5\n", {}), WriteProblem::not_created);
    TempDir dir;
    fs::create_directory(dir / "sub");
    EXPECT_EQ(write_file_replacing(dir / "sub", "P5\n", {}), WriteProblem::not_created) << "a directory";
}

TEST(ReplacingWrite, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir / "out.pgm";
    ulma_test::write_file(path, "OLD");
    // In a child process: files may not grow beyond 100 bytes there.
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit {};
            limit.rlim_cur = 100;
            limit.rlim_max = 100;
            setrlimit(RLIMIT_FSIZE, &limit);
            const std::string big(4096, 'x');
            std::exit(write_file_replacing(path, "P5\n", bytes_of(big)) == WriteProblem::not_written ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ulma_test::read_file(path), "OLD");
    EXPECT_EQ(entries_in(dir.path()), 1u);
}

TEST(CreatableBeside, NeedsAnExistingDirectory) {
    TempDir dir;
    EXPECT_TRUE(can_create_beside(dir / "anything.pgm"));
    EXPECT_FALSE(can_create_beside("/nonexistent/dir/out.pgm"));
    EXPECT_EQ(entries_in(dir.path()), 0u);
}

TEST(OutputCheck, LeavesAnExistingFileUntouched) {
    TempDir dir;
    ulma_test::write_file(dir / "out.pgm", "OLD");
    check_output_name_correct((dir / "out.pgm").c_str());
    EXPECT_EQ(ulma_test::read_file(dir / "out.pgm"), "OLD");
    EXPECT_EQ(entries_in(dir.path()), 1u);
}

TEST(OutputCheck, LeavesNoFileBehindForANewName) {
    TempDir dir;
    check_output_name_correct((dir / "out.pgm").c_str());
    EXPECT_FALSE(fs::exists(dir / "out.pgm"));
    EXPECT_EQ(entries_in(dir.path()), 0u);
}

TEST(OutputCheck, AcceptsDevices) { check_output_name_correct("/dev/null"); }

TEST(OutputCheck, RefusesUncreatableNames) {
    TempDir dir;
    fs::create_directory(dir / "sub");
    EXPECT_EXIT_ONE_PRINTING(check_output_name_correct((dir / "missing/out.pgm").c_str()),
                             "\r\nmake sure output path name correct\nfopen: No such file or directory\n");
    EXPECT_EXIT_ONE_PRINTING(check_output_name_correct((dir / "sub").c_str()),
                             "\r\nmake sure output path name correct\nfopen: Is a directory\n");
}

TEST(OutputCheck, RefusesAReadOnlyFile) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    ulma_test::write_file(dir / "out.pgm", "OLD");
    chmod((dir / "out.pgm").c_str(), 0444);
    EXPECT_EXIT_ONE_PRINTING(check_output_name_correct((dir / "out.pgm").c_str()),
                             "\r\nmake sure output path name correct\nfopen: Permission denied\n");
    EXPECT_EQ(ulma_test::read_file(dir / "out.pgm"), "OLD");
}

TEST(WorkingDirectory, LongerThanTwoHundredFiftySixCharacters) {
    TempDir dir;
    fs::path deep = dir.path();
    for (int i = 0; i < 4; ++i) deep /= std::string(100, static_cast<char>('a' + i));
    fs::create_directories(deep);
    const fs::path before = fs::current_path();
    fs::current_path(deep);
    std::string cwd;
    const bool read = read_working_directory(cwd);
    fs::current_path(before);
    ASSERT_TRUE(read);
    EXPECT_EQ(cwd, deep.string());
}

}  // namespace
