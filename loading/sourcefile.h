#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvex {

// Why a document could not be read.
enum class ReadProblem {
    None,
    NotFound,
    AccessDenied,
    IsFolder,
    NotRegularFile,  // a pipe, a device, a socket: never read, never waited on
    TooLarge,        // 2 GiB or more: refused before anything is allocated
    OutOfMemory,
    ReadFailed,  // any other failure of the system; see systemError
};

struct SourceFile {
    std::vector<std::uint8_t> bytes;
    std::int64_t length = 0;  // bytes actually read; the vector is at least that long
    ReadProblem problem = ReadProblem::None;
    int systemError = 0;
};

// Reads a regular file whole, as raw bytes. The read goes on until the end of
// the file, and `length` is what was read, so a file that shrinks while it is
// read never leaves unread bytes behind as zeros.
SourceFile ReadSourceFile(const std::string& path);

}  // namespace quorvex
