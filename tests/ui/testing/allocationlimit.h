#pragma once

#include <cstddef>

namespace quorvex {

// While it lives, the test program's own operator new refuses every
// allocation of `bytes` or more, as a machine without that memory would.
class AllocationLimit {
  public:
    explicit AllocationLimit(std::size_t bytes);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

}  // namespace quorvex
