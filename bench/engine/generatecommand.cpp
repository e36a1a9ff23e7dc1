#include "bench/engine/generatecommand.h"

#include <cstdio>
#include <iostream>

#include "bench/engine/phasetiming.h"
#include "testsupport/docgen/hostiledocuments.h"
#include "testsupport/docgen/textgenerator.h"

namespace quorvex::bench {

namespace {

constexpr std::uint64_t kDefaultSeed = 1;
constexpr std::uint64_t kMostLetters = 1000;

bool KindHasItsOptions(const GenerateOptions& options) {
    const CommandLine& line = options.line;
    if (options.kind.empty() || options.kind == "random-words" || options.kind == "one-word") {
        return options.size.has_value();
    }
    if (options.kind == "long-heading") {
        return options.heading && line.lines;
    }
    if (options.kind == "colliding") {
        return options.size && line.words > 0u && line.hashSeed;
    }
    if (options.kind == "vocabulary") {
        return options.size && options.letters;
    }
    if (options.kind == "control") {
        return options.size && line.words > 0u;
    }
    if (options.kind == "shared-prefix") {
        return options.size && options.shared && *options.shared <= kMostLetters &&
               (!options.letters || options.letters->first > *options.shared);
    }
    return false;
}

bool WriteKind(std::FILE* out, const GenerateOptions& options) {
    const CommandLine& line = options.line;
    const std::uint64_t seed = options.seed.value_or(kDefaultSeed);
    if (options.kind == "random-words") {
        return docgen::WriteRandomWords(out, *options.size, seed);
    }
    if (options.kind == "vocabulary") {
        return docgen::WriteVocabulary(out, *options.size, seed, *options.letters);
    }
    if (options.kind == "shared-prefix") {
        const auto shared = static_cast<std::size_t>(*options.shared);
        return docgen::WriteSharedPrefixWords(
            out, *options.size, seed, shared,
            options.letters.value_or(std::pair(shared + 6, shared + 9)));
    }
    if (options.kind == "long-heading") {
        return docgen::WriteLongHeading(out, *options.heading, *line.lines, options.highBytes);
    }
    if (options.kind == "one-word") {
        return docgen::WriteOneWord(out, *options.size);
    }
    if (options.kind == "colliding" || options.kind == "control") {
        const auto words = static_cast<std::size_t>(*line.words);
        const std::uint64_t* hashSeed = options.kind == "colliding" ? &*line.hashSeed : nullptr;
        return docgen::WriteWordCycle(out, *options.size,
                                      docgen::EightLetterWords(words, seed, hashSeed));
    }
    return docgen::WriteText(out, *options.size, seed);
}

// "A-B": words of A to B letters, 1 <= A <= B.
std::optional<std::pair<std::size_t, std::size_t>> ParseLetters(std::string_view text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<std::uint64_t> fewest = ParseNumber(text.substr(0, dash));
    const std::optional<std::uint64_t> most = ParseNumber(text.substr(dash + 1));
    if (!fewest || !most || *fewest < 1 || *fewest > *most || *most > kMostLetters) {
        return std::nullopt;
    }
    return std::pair<std::size_t, std::size_t>(*fewest, *most);
}

}  // namespace

std::optional<GenerateOptions> ParseGenerateOptions(std::span<const std::string_view> args) {
    GenerateOptions options;
    const Option known[] = {
        SizeOption("--size", options.size),
        NumberOption("--seed", options.seed),
        NumberOption("--shared", options.shared),
        SizeOption("--heading", options.heading),
        {"--kind", true,
         [&options](std::string_view kind) {
             options.kind = std::string(kind);
             return true;
         }},
        {"--letters", true,
         [&options](std::string_view text) {
             options.letters = ParseLetters(text);
             return options.letters.has_value();
         }},
        {"--high-bytes", false,
         [&options](std::string_view) {
             options.highBytes = true;
             return true;
         }},
    };
    if (!ReadCommandLine(args, known, options.line)) {
        return std::nullopt;
    }
    if (!options.line.help && !KindHasItsOptions(options)) {
        return std::nullopt;
    }
    return options;
}

int RunGenerateCommand(const GenerateOptions& options) {
    const std::string& file = options.line.file;
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) {
        std::cerr << "quorvex-bench: cannot write " << file << "\n";
        return kExitFailure;
    }
    const Instant start;
    const bool written = WriteKind(out, options);
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        std::cerr << "quorvex-bench: writing " << file << " failed\n";
        return kExitFailure;
    }
    std::printf("wrote %s (%s, seed %llu) in %.3f s\n", file.c_str(),
                options.kind.empty() ? "text" : options.kind.c_str(),
                static_cast<unsigned long long>(options.seed.value_or(kDefaultSeed)),
                Between(start, Instant()).wall);
    return 0;
}

}  // namespace quorvex::bench
