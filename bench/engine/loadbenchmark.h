#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "bench/engine/commandline.h"

namespace quorvex::bench {

// Where `quorvex-bench load` puts the document.
enum class LoadWay { Huge, Small, Vector };

struct LoadOptions {
    CommandLine line;
    int runs = kDefaultRuns;
    LoadWay way = LoadWay::Huge;
};

// The arguments after "load"; nothing when they are not a valid command.
std::optional<LoadOptions> ParseLoadOptions(std::span<const std::string_view> args);

// Loads the file the chosen way, the chosen number of times, and prints the
// median as one "load:" line.
int RunLoadBenchmark(const LoadOptions& options);

}  // namespace quorvex::bench
