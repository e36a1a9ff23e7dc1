#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "bench/engine/commandline.h"

namespace quorvex::bench {

// Plain `quorvex-bench FILE`: the engine on one loaded document.
struct EngineOptions {
    CommandLine line;
    int runs = kDefaultRuns;
};

// All the arguments; nothing when they are not a valid command.
std::optional<EngineOptions> ParseEngineOptions(std::span<const std::string_view> args);

// Loads the file once, then scans it and builds the rows of the three lists
// the chosen number of times; prints the load, the word counts, the medians
// of every phase and the peak memory.
int RunEngineBenchmark(const EngineOptions& options);

}  // namespace quorvex::bench
