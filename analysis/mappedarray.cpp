#include "analysis/mappedarray.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>

namespace quorvex {

namespace {

std::size_t WholePages(std::size_t bytes) {
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

}  // namespace

void* GrowMapping(void* mapping, std::size_t oldBytes, std::size_t newBytes) {
    const std::size_t oldSize = WholePages(oldBytes);
    const std::size_t newSize = WholePages(newBytes);
    if (mapping != nullptr && newSize == oldSize) {
        return mapping;
    }
    void* grown = mapping == nullptr ? ::mmap(nullptr, newSize, PROT_READ | PROT_WRITE,
                                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                     : ::mremap(mapping, oldSize, newSize, MREMAP_MAYMOVE);
    if (grown == MAP_FAILED) {
        throw std::bad_alloc();
    }
    return grown;
}

void ReleaseMapping(void* mapping, std::size_t bytes) {
    if (mapping != nullptr) {
        ::munmap(mapping, WholePages(bytes));
    }
}

}  // namespace quorvex
