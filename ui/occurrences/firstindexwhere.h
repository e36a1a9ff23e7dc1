#pragma once

#include <cstddef>

namespace quorvex {

// The first index from `first` to before `end` at which `reached` holds, or
// `end` if there is none, found by halving: `reached` must be false up to
// some index and true from there on, as it is for anything that ascends in
// document order, such as the occurrences' word numbers and headings.
template <typename Predicate>
std::size_t FirstIndexWhere(std::size_t first, std::size_t end, Predicate reached) {
    while (first < end) {
        const std::size_t middle = first + (end - first) / 2;
        if (reached(middle)) {
            end = middle;
        } else {
            first = middle + 1;
        }
    }
    return first;
}

}  // namespace quorvex
