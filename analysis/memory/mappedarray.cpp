#include "analysis/memory/mappedarray.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <string>

namespace quorvex {

namespace {

std::size_t WholePages(std::size_t bytes) {
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

std::size_t RoundUp(std::size_t length, std::size_t unit) {
    return (length + unit - 1) / unit * unit;
}

}  // namespace

// Debian's default mode, "madvise", gives huge pages to the memory that asks
// for them, as does "always"; "never", or a kernel without them, gives none.
bool HugePagesOffered() {
    static const bool offered = [] {
        std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
        std::string modes;
        std::getline(setting, modes);
        return modes.find("[always]") != std::string::npos ||
               modes.find("[madvise]") != std::string::npos;
    }();
    return offered;
}

std::uint8_t* MapAnonymous(std::size_t length) {
    void* memory =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return memory == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(memory);
}

void Unmap(std::uint8_t* start, std::size_t length) {
    ::munmap(start, length);
}

// The kernel may place a mapping on any small-page boundary and only aligned
// 2 MiB can become a huge page, so one huge page more is mapped and the
// unaligned ends are given back. If the kernel refuses the advice the memory
// still works, in small pages.
std::uint8_t* MapHugePages(std::size_t length) {
    std::uint8_t* start = MapAnonymous(length + kHugePage);
    if (start == nullptr) {
        return nullptr;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t head = RoundUp(address, kHugePage) - address;
    std::uint8_t* aligned = start + head;
    if (head > 0) {
        Unmap(start, head);
    }
    Unmap(aligned + length, kHugePage - head);
    ::madvise(aligned, length, MADV_HUGEPAGE);
    return aligned;
}

namespace {

bool OnHeap(std::size_t bytes) {
    return bytes <= kHeapArrayBytes;
}

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

void* GrowOnHeap(void* memory, std::size_t newBytes) {
    void* grown = std::realloc(memory, newBytes);
    if (grown == nullptr) {
        throw std::bad_alloc();
    }
    return grown;
}

// Copied once, when the array leaves the heap; from then on it is remapped.
void* MoveToMapping(void* memory, std::size_t usedBytes, std::size_t newBytes) {
    void* mapping = GrowMapping(nullptr, 0, newBytes);
    std::memcpy(mapping, memory, usedBytes);
    std::free(memory);
    return mapping;
}

}  // namespace

void* GrowArrayMemory(void* memory, std::size_t usedBytes, std::size_t oldBytes,
                      std::size_t newBytes) {
    if (OnHeap(newBytes)) {
        return GrowOnHeap(memory, newBytes);
    }
    if (memory != nullptr && OnHeap(oldBytes)) {
        return MoveToMapping(memory, usedBytes, newBytes);
    }
    return GrowMapping(memory, oldBytes, newBytes);
}

void* ZeroedArrayMemory(std::size_t bytes) {
    if (!OnHeap(bytes)) {
        return GrowMapping(nullptr, 0, bytes);
    }
    void* memory = std::calloc(bytes, 1);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void ReleaseArrayMemory(void* memory, std::size_t bytes) {
    if (OnHeap(bytes)) {
        std::free(memory);
    } else if (memory != nullptr) {
        ::munmap(memory, WholePages(bytes));
    }
}

}  // namespace quorvex
