#include "tests/ui/testing/allocationlimit.h"

#include <cstdlib>
#include <limits>
#include <new>

namespace {
std::size_t gLeastRefused = std::numeric_limits<std::size_t>::max();
}  // namespace

// Deletes with it, and the form that returns nothing instead of throwing as well, so that no
// runtime's own delete meets memory from malloc, nor this delete memory from the runtime.
void* operator new(std::size_t bytes) {
    void* memory = bytes < gLeastRefused ? std::malloc(bytes == 0 ? 1 : bytes) : nullptr;
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    return bytes < gLeastRefused ? std::malloc(bytes == 0 ? 1 : bytes) : nullptr;
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
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
