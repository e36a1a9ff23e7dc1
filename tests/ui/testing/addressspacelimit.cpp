#include "tests/ui/testing/addressspacelimit.h"

#include <unistd.h>

#include <fstream>

namespace quorvex {

AddressSpaceLimit::AddressSpaceLimit(std::size_t headroom) {
    ::getrlimit(RLIMIT_AS, &saved_);
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    const rlimit limit{pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) + headroom,
                       saved_.rlim_max};
    ::setrlimit(RLIMIT_AS, &limit);
}

AddressSpaceLimit::~AddressSpaceLimit() {
    ::setrlimit(RLIMIT_AS, &saved_);
}

}  // namespace quorvex
