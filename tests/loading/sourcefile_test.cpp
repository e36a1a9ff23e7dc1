#include "loading/sourcefile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr DocumentPages kBothPages[] = {DocumentPages::HugeWhereOffered, DocumentPages::Small};

std::string Bytes(const SourceFile& file) {
    return {reinterpret_cast<const char*>(file.bytes.data()),
            static_cast<std::size_t>(file.length)};
}

std::string RandomBytes(std::size_t length, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(length, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

// The kilobytes of huge pages in the mapping that holds `address`, from the
// kernel's own account of this process's memory.
std::int64_t HugePageKilobytesAround(const void* address) {
    std::ifstream maps("/proc/self/smaps");
    const auto wanted = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    for (std::string line; std::getline(maps, line);) {
        std::uintptr_t start = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        if (std::istringstream(line) >> std::hex >> start >> dash >> end && dash == '-') {
            inside = start <= wanted && wanted < end;
        } else if (inside && line.starts_with("AnonHugePages:")) {
            return std::stoll(line.substr(line.find(':') + 1));
        }
    }
    return -1;
}

// Whether the page at `address` belongs to no mapping of this process.
bool Unmapped(const void* address) {
    unsigned char resident = 0;
    return ::mincore(const_cast<void*>(address), 1, &resident) != 0 && errno == ENOMEM;
}

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

// A short document and one that takes several read calls and ends inside a
// huge page, in the memory the program takes and in the small pages it falls
// back to, which then really hold no huge page.
TEST_F(SourceFileTest, ReadsEveryByteUnchanged) {
    std::string shortDocument = "Book 01\r\n001:001 a\0b\xff\r\nlast";
    shortDocument.push_back('\0');
    const std::string documents[] = {shortDocument, RandomBytes(33 * (1 << 20) + 12345, 11)};
    for (const std::string& bytes : documents) {
        const std::string path = Write("doc.txt", bytes);
        for (const DocumentPages pages : kBothPages) {
            SCOPED_TRACE(testing::Message()
                         << bytes.size() << " bytes, pages " << static_cast<int>(pages));
            const SourceFile file = ReadSourceFile(path, pages);
            ASSERT_EQ(file.problem, ReadProblem::None);
            ASSERT_EQ(file.length, static_cast<std::int64_t>(bytes.size()));
            ASSERT_EQ(file.bytes.size(), bytes.size());
            EXPECT_TRUE(Bytes(file) == bytes);
            EXPECT_LT(file.bytes.capacity(), bytes.size() + kHugePage);
            if (pages == DocumentPages::Small) {
                EXPECT_EQ(HugePageKilobytesAround(file.bytes.data()), 0);
            }
        }
    }
}

// Measured, then cut short (or emptied) before it is read, as when another
// program truncates the file during Open: only what is left is kept, and the
// memory meant for the rest is given back, but for a small document's.
TEST_F(SourceFileTest, KeepsWhatIsLeftOfAFileThatShrankBeforeTheRead) {
    const std::string head = RandomBytes(300'007, 12);
    for (const std::size_t left : {head.size(), std::size_t{0}, std::size_t{1'000}}) {
        const std::int64_t measured = left == 1'000 ? 40'000 : 64 << 20;
        for (const DocumentPages pages : kBothPages) {
            SCOPED_TRACE(testing::Message()
                         << left << " bytes left, pages " << static_cast<int>(pages));
            const std::string path = Write("shrinking.txt", head);
            fs::resize_file(path, measured);  // sparse: costs no disk
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            struct stat info {};
            ASSERT_EQ(::fstat(fd, &info), 0);
            ASSERT_EQ(info.st_size, measured);
            ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(left)), 0);

            const SourceFile file = ReadMeasuredFile(fd, info.st_size, pages);
            const bool restGivenBack = file.bytes.capacity() == 0 || measured < 65536 ||
                                       Unmapped(file.bytes.data() + file.bytes.capacity());
            ::close(fd);
            ASSERT_EQ(file.problem, ReadProblem::None);
            ASSERT_EQ(file.length, static_cast<std::int64_t>(left));
            EXPECT_EQ(file.bytes.size(), left);
            EXPECT_TRUE(Bytes(file) == head.substr(0, left));
            EXPECT_LT(file.bytes.capacity(), left + kHugePage);
            EXPECT_TRUE(restGivenBack);
        }
    }
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
