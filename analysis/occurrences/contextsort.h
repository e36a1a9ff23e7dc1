#pragma once

#include <cstdint>
#include <vector>

#include "analysis/occurrences/occurrences.h"

namespace quorvex {

enum class ContextSide { Left, Right };

// Puts every occurrence into `order` by the words of one side of it, each
// folded by the word rule, the nearest first, then the next one out, over
// the whole scanned part of its line: a side with no (more) word first.
// Descending reverses; equal sides keep document order either way.
void SortByContext(const Occurrences& occurrences, ContextSide side, bool descending,
                   std::vector<std::uint32_t>& order);

// By searched word, in the order of their texts, then by the word as
// written, ordinal; equal ones keep document order either way.
void SortByWrittenWord(const Occurrences& occurrences, bool descending,
                       std::vector<std::uint32_t>& order);

}  // namespace quorvex
