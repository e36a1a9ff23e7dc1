// A file its user may not read, read as that user: refused as such, while a
// readable file beside it loads. Root reads any file, so the reads happen in a
// child process that has given up root for the user and group 65534.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "loading/sourcefile.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
constexpr int kCouldNotDropRoot = 255;

// The problem ReadSourceFile reports for `path` to the user 65534, or
// kCouldNotDropRoot.
int ProblemAsNobody(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(kCouldNotDropRoot);
        }
        ::_exit(static_cast<int>(ReadSourceFile(path).problem));
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

TEST(UnreadableFile, IsRefusedAsAccessDeniedWhileAReadableOneLoads) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can read as another user; as anyone else the loading tests "
                        "read a file of their own that they may not read";
    }
    const fs::path folder =
        fs::temp_directory_path() / ("quorvex-unreadable-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    const fs::path readable = folder / "open.txt";
    const fs::path secret = folder / "secret.txt";
    std::ofstream(readable) << "001:001 open\r\n";
    std::ofstream(secret) << "001:001 hidden\r\n";
    fs::permissions(readable, fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(secret, fs::perms::none);

    EXPECT_EQ(ProblemAsNobody(readable.string()), static_cast<int>(ReadProblem::None));
    EXPECT_EQ(ProblemAsNobody(secret.string()), static_cast<int>(ReadProblem::AccessDenied));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace quorvex
