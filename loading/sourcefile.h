#pragma once

#include <cstdint>
#include <string>

#include "analysis/memory/documentbytes.h"

namespace quorvex {

// The largest document the program accepts. Lengths, positions and counts
// are 64-bit so that nothing overflows even at this size.
inline constexpr std::int64_t kMaxSourceLength = 2147483647;

// Why a document could not be read.
enum class ReadProblem {
    None,
    NotFound,
    AccessDenied,
    IsFolder,
    NotRegularFile,  // a pipe, a device, a socket: never read, never waited on
    TooLarge,        // over kMaxSourceLength: refused before anything is allocated
    OutOfMemory,
    ReadFailed,  // any other failure of the system; see systemError
};

struct SourceFile {
    DocumentBytes bytes;
    std::int64_t length = 0;  // bytes actually read, as many as `bytes` holds
    ReadProblem problem = ReadProblem::None;
    int systemError = 0;
};

// Reads a regular file whole, as raw bytes, into memory of its own: later
// changes to the file are not seen. The program always takes the default
// pages; tests and benchmarks may force small ones.
SourceFile ReadSourceFile(const std::string& path,
                          DocumentPages pages = DocumentPages::HugeWhereOffered);

// The read itself, of a regular file open as `fd` and measured at
// `measuredLength` bytes, from its first byte. The read goes on until the end
// of the file or of the measured length, and `length` is what was read: a
// file that shrank since it was measured never leaves unread bytes behind as
// zeros, nor holds on to the memory they would have taken.
SourceFile ReadMeasuredFile(int fd, std::int64_t measuredLength, DocumentPages pages);

}  // namespace quorvex
