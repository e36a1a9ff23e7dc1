#include "tests/ui/testing/allocationlimit.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

std::atomic<std::size_t> gLeastRefused{std::numeric_limits<std::size_t>::max()};
std::atomic<int> gRefused{0};

void* Allocate(std::size_t bytes) {
    if (bytes >= gLeastRefused.load(std::memory_order_relaxed)) {
        gRefused.fetch_add(1, std::memory_order_relaxed);
        return nullptr;
    }
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void* AllocateOrThrow(std::size_t bytes) {
    void* memory = Allocate(bytes);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace

// Every form that allocates or frees with the plain alignment, so that none
// pairs with a runtime's own.
void* operator new(std::size_t bytes) {
    return AllocateOrThrow(bytes);
}
void* operator new[](std::size_t bytes) {
    return AllocateOrThrow(bytes);
}
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    return Allocate(bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
    return Allocate(bytes);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

namespace quorvex {

AllocationLimit::AllocationLimit(std::size_t bytes) {
    gRefused = 0;
    gLeastRefused = bytes;
}

AllocationLimit::~AllocationLimit() {
    gLeastRefused = std::numeric_limits<std::size_t>::max();
}

int AllocationLimit::Refused() const {
    return gRefused;
}

}  // namespace quorvex
