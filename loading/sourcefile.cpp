#include "loading/sourcefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace quorvex {

namespace {

constexpr std::int64_t kReadPiece = std::int64_t{16} << 20;

// Owns an open descriptor for the length of one read.
class OpenFile {
  public:
    explicit OpenFile(const std::string& path)
        // Non-blocking, so that opening a named pipe with no writer returns at once.
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int fd() const { return fd_; }

  private:
    int fd_;
};

SourceFile Failure(ReadProblem problem, int systemError = 0) {
    SourceFile file;
    file.problem = problem;
    file.systemError = systemError;
    return file;
}

ReadProblem ProblemFromOpenError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return ReadProblem::NotFound;
        case EACCES:
        case EPERM:
            return ReadProblem::AccessDenied;
        case EISDIR:
            return ReadProblem::IsFolder;
        case ENXIO:
        case ENODEV:
            return ReadProblem::NotRegularFile;
        case EFBIG:
        case EOVERFLOW:
            return ReadProblem::TooLarge;
        default:
            return ReadProblem::ReadFailed;
    }
}

// Reads up to `wanted` bytes from the start of the file, retrying short
// reads; returns the count read, or -1 with errno set. Reading in pieces
// keeps every call far below the most one read may return (just under
// 2 GiB), at no cost in speed.
std::int64_t ReadInPieces(int fd, std::uint8_t* into, std::int64_t wanted) {
    std::int64_t got = 0;
    while (got < wanted) {
        const std::int64_t piece = std::min(wanted - got, kReadPiece);
        const ssize_t n = ::pread(fd, into + got, static_cast<std::size_t>(piece), got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    return got;
}

}  // namespace

SourceFile ReadSourceFile(const std::string& path, DocumentPages pages) {
    const OpenFile file(path);
    if (file.fd() < 0) {
        return Failure(ProblemFromOpenError(errno), errno);
    }
    struct stat info {};
    if (::fstat(file.fd(), &info) != 0) {
        return Failure(ReadProblem::ReadFailed, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return Failure(ReadProblem::IsFolder);
    }
    if (!S_ISREG(info.st_mode)) {
        return Failure(ReadProblem::NotRegularFile);
    }
    if (info.st_size > kMaxSourceLength) {
        return Failure(ReadProblem::TooLarge);
    }
    return ReadMeasuredFile(file.fd(), info.st_size, pages);
}

SourceFile ReadMeasuredFile(int fd, std::int64_t measuredLength, DocumentPages pages) {
    SourceFile source;
    try {
        source.bytes = DocumentBytes::Allocate(static_cast<std::size_t>(measuredLength), pages);
    } catch (const std::bad_alloc&) {
        return Failure(ReadProblem::OutOfMemory);
    }
    const std::int64_t got = ReadInPieces(fd, source.bytes.data(), measuredLength);
    if (got < 0) {
        return Failure(ReadProblem::ReadFailed, errno);
    }
    source.bytes.ShrinkTo(static_cast<std::size_t>(got));
    source.length = got;
    return source;
}

}  // namespace quorvex
