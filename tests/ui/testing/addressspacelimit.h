#pragma once

#include <sys/resource.h>

#include <cstddef>

namespace quorvex {

// Lets the process have only `headroom` more bytes of address space, for as
// long as it lives: memory taken straight from the system runs out as on a
// machine without it.
class AddressSpaceLimit {
  public:
    explicit AddressSpaceLimit(std::size_t headroom);
    ~AddressSpaceLimit();
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

  private:
    rlimit saved_{};
};

}  // namespace quorvex
