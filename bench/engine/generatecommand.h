#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "bench/engine/commandline.h"

namespace quorvex::bench {

// `quorvex-bench generate`: writes a made-up document to a file.
struct GenerateOptions {
    CommandLine line;
    std::string kind;  // empty for lifelike text
    std::optional<std::uint64_t> size;
    std::optional<std::uint64_t> heading;
    std::optional<std::uint64_t> seed;
    std::optional<std::pair<std::size_t, std::size_t>> letters;  // fewest, most
    std::optional<std::uint64_t> shared;
    bool highBytes = false;
};

// The arguments after "generate"; nothing when they are not a valid command.
std::optional<GenerateOptions> ParseGenerateOptions(std::span<const std::string_view> args);

int RunGenerateCommand(const GenerateOptions& options);

}  // namespace quorvex::bench
