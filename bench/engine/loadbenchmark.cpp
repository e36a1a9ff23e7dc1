#include "bench/engine/loadbenchmark.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/engine/phasetiming.h"
#include "loading/sourcefile.h"

namespace quorvex::bench {

namespace {

std::optional<LoadWay> ParseLoadWay(std::string_view text) {
    if (text == "huge") {
        return LoadWay::Huge;
    }
    if (text == "small") {
        return LoadWay::Small;
    }
    if (text == "vector") {
        return LoadWay::Vector;
    }
    return std::nullopt;
}

// The way documents were loaded before, for comparison: a std::vector of the
// file's length, zero-filled on creation, then plain reads into it.
bool LoadIntoVector(const std::string& path, std::vector<std::uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool measured = ::fstat(fd, &info) == 0;
    bytes.resize(measured ? static_cast<std::size_t>(info.st_size) : 0);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return measured && got == bytes.size();
}

// One load the chosen way, timed; the loaded bytes are let go untimed.
std::optional<Duration> TimedLoad(const LoadOptions& options, std::int64_t& bytes) {
    std::vector<std::uint8_t> vector;
    SourceFile file;
    const Instant start;
    if (options.way == LoadWay::Vector) {
        if (!LoadIntoVector(options.line.file, vector)) {
            return std::nullopt;
        }
        bytes = static_cast<std::int64_t>(vector.size());
    } else {
        file = ReadSourceFile(options.line.file, options.way == LoadWay::Small
                                                     ? DocumentPages::Small
                                                     : DocumentPages::HugeWhereOffered);
        if (file.problem != ReadProblem::None) {
            return std::nullopt;
        }
        bytes = file.length;
    }
    return Between(start, Instant());
}

}  // namespace

std::optional<LoadOptions> ParseLoadOptions(std::span<const std::string_view> args) {
    LoadOptions options;
    const Option known[] = {RunsOption(options.runs),
                            {"--into", true, [&options](std::string_view text) {
                                 const std::optional<LoadWay> way = ParseLoadWay(text);
                                 options.way = way.value_or(options.way);
                                 return way.has_value();
                             }}};
    if (!ReadCommandLine(args, known, options.line)) {
        return std::nullopt;
    }
    return options;
}

int RunLoadBenchmark(const LoadOptions& options) {
    std::vector<Duration> loads;
    std::int64_t bytes = 0;
    for (int run = 0; run < options.runs; ++run) {
        const std::optional<Duration> load = TimedLoad(options, bytes);
        if (!load) {
            return CannotRead(options.line.file);
        }
        loads.push_back(*load);
    }
    PrintPhase("load:", Median(loads), bytes);
    return 0;
}

}  // namespace quorvex::bench
