#pragma once

#include <cstddef>

namespace quorvex {

// While it lives, every allocation through operator new of `bytes` or more
// throws std::bad_alloc, as it would on a machine without that memory. It
// replaces the global operator new of the test program that uses it; Qt's
// own containers allocate with malloc and are not limited.
class AllocationLimit {
  public:
    explicit AllocationLimit(std::size_t bytes);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

    // How many allocations were refused.
    int Refused() const;
};

}  // namespace quorvex
