#include "tests/ui/testing/allocationlimit.h"

#include <cstdlib>
#include <limits>
#include <new>

namespace {
std::size_t gLeastRefused = std::numeric_limits<std::size_t>::max();
}  // namespace

// Deletes with it, so that no runtime's own delete meets memory from malloc.
void* operator new(std::size_t bytes) {
    void* memory = bytes < gLeastRefused ? std::malloc(bytes == 0 ? 1 : bytes) : nullptr;
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace quorvex {

AllocationLimit::AllocationLimit(std::size_t bytes) {
    gLeastRefused = bytes;
}

AllocationLimit::~AllocationLimit() {
    gLeastRefused = std::numeric_limits<std::size_t>::max();
}

}  // namespace quorvex
