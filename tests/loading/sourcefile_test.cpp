#include "loading/sourcefile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

class SourceFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("quorvex-sourcefile-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    fs::path folder_;
};

TEST_F(SourceFileTest, ReadsEveryByteUnchanged) {
    std::string bytes = "Book 01\r\n001:001 a\0b\xff\r\nlast";
    bytes.push_back('\0');
    const SourceFile file = ReadSourceFile(Write("doc.txt", bytes));
    ASSERT_EQ(file.problem, ReadProblem::None);
    ASSERT_EQ(file.length, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.begin() + file.length), bytes);
}

TEST_F(SourceFileTest, EmptyFileIsAnEmptyDocument) {
    const SourceFile file = ReadSourceFile(Write("empty", ""));
    EXPECT_EQ(file.problem, ReadProblem::None);
    EXPECT_EQ(file.length, 0);
}

TEST_F(SourceFileTest, RefusesWhatIsNotARegularReadableFile) {
    EXPECT_EQ(ReadSourceFile((folder_ / "missing.txt").string()).problem, ReadProblem::NotFound);
    EXPECT_EQ(ReadSourceFile((folder_ / "missing" / "deeper.txt").string()).problem,
              ReadProblem::NotFound);
    EXPECT_EQ(ReadSourceFile(folder_.string()).problem, ReadProblem::IsFolder);
    EXPECT_EQ(ReadSourceFile("/dev/zero").problem, ReadProblem::NotRegularFile);
}

// A named pipe with no writer would block a plain open for ever.
TEST_F(SourceFileTest, RefusesANamedPipeWithoutWaiting) {
    const fs::path pipe = folder_ / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ReadSourceFile(pipe.string()).problem, ReadProblem::NotRegularFile);
}

TEST_F(SourceFileTest, RefusesAFileOf2GiBBeforeReadingIt) {
    const fs::path huge = folder_ / "huge.txt";
    std::ofstream(huge).close();
    fs::resize_file(huge, 2147483648ull);  // sparse: costs no disk
    const SourceFile file = ReadSourceFile(huge.string());
    EXPECT_EQ(file.problem, ReadProblem::TooLarge);
    EXPECT_TRUE(file.bytes.empty());
}

TEST_F(SourceFileTest, ReportsAFileItMayNotRead) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may read any file";
    }
    const std::string path = Write("secret.txt", "text");
    fs::permissions(path, fs::perms::none);
    EXPECT_EQ(ReadSourceFile(path).problem, ReadProblem::AccessDenied);
}

}  // namespace
}  // namespace quorvex
