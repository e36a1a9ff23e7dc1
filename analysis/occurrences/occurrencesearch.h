#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/memory/documentbytes.h"
#include "analysis/occurrences/occurrences.h"
#include "analysis/scan/documentscan.h"

namespace quorvex {

// Told, about every MiB of the document read, how many bytes have been read
// of how many; Stop ends the search.
using SearchProgress = std::function<RunControl(std::int64_t bytesRead, std::int64_t totalBytes)>;

// The most words one search looks for.
inline constexpr std::size_t kMostSearchedWords = 8;

// Finds every occurrence of `words` in the first `length` bytes of
// `document` (no more than it holds): one to kMostSearchedWords distinct
// words of the letters a to z, as Unique Words shows them. An occurrence is
// exactly a word the run counts, found by the same line rules and word rule;
// every counted word is numbered, and every heading line's words counted.
//
// Touches nothing but its arguments, so it may run on any thread; `progress`
// is called on that thread. Returns nothing when `progress` stopped it.
// Throws std::bad_alloc, leaving nothing behind, when memory runs out, and
// std::invalid_argument for words that are not as above.
std::shared_ptr<const Occurrences> FindOccurrences(std::shared_ptr<const DocumentBytes> document,
                                                   std::int64_t length,
                                                   std::vector<std::string> words,
                                                   const SearchProgress& progress);

}  // namespace quorvex
