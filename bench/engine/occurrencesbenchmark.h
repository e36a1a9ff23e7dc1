#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bench/engine/commandline.h"

namespace quorvex::bench {

// `quorvex-bench occurrences WORD... FILE`: the occurrence search.
struct OccurrencesOptions {
    CommandLine line;
    std::vector<std::string> words;
    int runs = kDefaultRuns;
    bool sorts = false;
};

// The arguments after "occurrences"; nothing when they are not a valid command.
std::optional<OccurrencesOptions> ParseOccurrencesOptions(std::span<const std::string_view> args);

// Loads the file once, then finds the words' occurrences the chosen number
// of times; prints the occurrences per word, the median of the search, with
// --sorts the medians of sorting the concordance by Left and by Right, and
// the peak memory.
int RunOccurrencesBenchmark(const OccurrencesOptions& options);

}  // namespace quorvex::bench
