#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::bench {

constexpr int kExitFailure = 1;

// What every job's command line comes to, besides the job's own options.
// Every job accepts the numbers --words, --lines and --hash-seed, as the tool
// always has; a job with no use for one ignores it.
struct CommandLine {
    bool help = false;
    std::string file;
    std::optional<std::uint64_t> words;
    std::optional<std::uint64_t> lines;
    std::optional<std::uint64_t> hashSeed;
};

// One option of a job. `read` gets the option's value, or an empty text for
// an option that takes none, and says whether the value was good.
struct Option {
    std::string_view name;
    bool takesValue;
    std::function<bool(std::string_view value)> read;
};

// Reads --help or -h anywhere, the job's `options` and exactly one file
// ("-" among them) into `line`. False when an option is unknown, lacks its
// value or has a bad one, or when there is not exactly one file and no call
// for help. A job that takes operands before the file gets them in
// `operands`, one at least.
bool ReadCommandLine(std::span<const std::string_view> args, std::span<const Option> options,
                     CommandLine& line, std::vector<std::string>* operands = nullptr);

// A whole decimal number, and nothing else.
std::optional<std::uint64_t> ParseNumber(std::string_view text);

// A number of bytes with an optional suffix K, M or G, powers of 1000.
std::optional<std::uint64_t> ParseSize(std::string_view text);

// Options that store a number or a size, or fail on a bad one.
Option NumberOption(std::string_view name, std::optional<std::uint64_t>& value);
Option SizeOption(std::string_view name, std::optional<std::uint64_t>& value);

constexpr int kDefaultRuns = 5;

// --runs N, from 1 to 1000, for the benchmarks.
Option RunsOption(int& runs);

// Says on the error stream that `file` could not be read; the exit status.
int CannotRead(const std::string& file);

}  // namespace quorvex::bench
