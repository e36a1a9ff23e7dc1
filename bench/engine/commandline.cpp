#include "bench/engine/commandline.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <vector>

namespace quorvex::bench {

namespace {

constexpr std::uint64_t kMostRuns = 1000;

const Option* Find(std::span<const Option> options, std::string_view name) {
    const auto found = std::find_if(options.begin(), options.end(),
                                    [name](const Option& option) { return option.name == name; });
    return found == options.end() ? nullptr : &*found;
}

}  // namespace

bool ReadCommandLine(std::span<const std::string_view> args, std::span<const Option> options,
                     CommandLine& line, std::vector<std::string>* operands) {
    const Option everyJobs[] = {NumberOption("--words", line.words),
                                NumberOption("--lines", line.lines),
                                NumberOption("--hash-seed", line.hashSeed)};
    std::vector<std::string_view> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        const Option* option = Find(options, arg);
        if (option == nullptr) {
            option = Find(everyJobs, arg);
        }
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (option != nullptr && (hasValue || !option->takesValue)) {
            if (!option->read(option->takesValue ? args[++i] : std::string_view())) {
                return false;
            }
        } else if (arg.starts_with("-") && arg != "-") {
            return false;
        } else {
            files.push_back(arg);
        }
    }
    if (!line.help) {
        if (files.size() != (operands ? std::max<std::size_t>(files.size(), 2) : 1)) {
            return false;
        }
        line.file = std::string(files.back());
        if (operands) {
            operands->assign(files.begin(), files.end() - 1);
        }
    }
    return true;
}

std::optional<std::uint64_t> ParseNumber(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> ParseSize(std::string_view text) {
    std::uint64_t multiplier = 1;
    if (!text.empty()) {
        switch (text.back()) {
            case 'K':
            case 'k':
                multiplier = 1000;
                break;
            case 'M':
            case 'm':
                multiplier = 1000 * 1000;
                break;
            case 'G':
            case 'g':
                multiplier = 1000 * 1000 * 1000;
                break;
            default:
                break;
        }
    }
    if (multiplier != 1) {
        text.remove_suffix(1);
    }
    const std::optional<std::uint64_t> number = ParseNumber(text);
    if (!number || *number > UINT64_MAX / multiplier) {
        return std::nullopt;
    }
    return *number * multiplier;
}

Option NumberOption(std::string_view name, std::optional<std::uint64_t>& value) {
    return {name, true, [&value](std::string_view text) {
                value = ParseNumber(text);
                return value.has_value();
            }};
}

Option SizeOption(std::string_view name, std::optional<std::uint64_t>& value) {
    return {name, true, [&value](std::string_view text) {
                value = ParseSize(text);
                return value.has_value();
            }};
}

Option RunsOption(int& runs) {
    return {"--runs", true, [&runs](std::string_view text) {
                const std::optional<std::uint64_t> number = ParseNumber(text);
                if (!number || *number < 1 || *number > kMostRuns) {
                    return false;
                }
                runs = static_cast<int>(*number);
                return true;
            }};
}

int CannotRead(const std::string& file) {
    std::cerr << "quorvex-bench: cannot read " << file << "\n";
    return kExitFailure;
}

}  // namespace quorvex::bench
