// quorvex-bench: writes made-up documents and measures the analysis engine
// on them, outside the window, so that its speed and memory can be compared
// with other tools run on the same file.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/scan/analysisstate.h"
#include "analysis/text/codepage.h"
#include "analysis/scan/documentscan.h"
#include "analysis/analysedocument.h"
#include "bench/engine/documentgenerator.h"
#include "bench/engine/hostiledocuments.h"
#include "loading/sourcefile.h"

namespace {

constexpr int kExitBadArguments = 2;
constexpr int kExitFailure = 1;
constexpr int kDefaultRuns = 5;
constexpr std::uint64_t kDefaultSeed = 1;
constexpr double kBytesPerMegabyte = 1e6;
constexpr double kBytesPerMaxRssUnit = 1024;  // Linux reports ru_maxrss in KiB

constexpr std::string_view kUsage =
    R"(Usage:
  quorvex-bench [--runs N] [--hash-seed S] FILE
      Loads FILE once with the program's own loading code, then runs the
      document scan and builds the rows of the three result lists N times
      (default 5). Prints first the seconds and MB/s of the load, on the wall
      clock and in processor time; then the word counts; the same for the
      medians of scan, rows and both together; the peak memory; and last
      "engine: <bytes> bytes, <seconds> s, <MB/s> MB/s", the median wall time
      of scan plus rows. 1 MB is 1,000,000 bytes. --hash-seed fixes the word
      index's hash, which the program draws afresh for every run.

  quorvex-bench load [--runs N] [--into WAY] FILE
      Only loads FILE, N times (default 5), and prints the median as the
      "load:" line above. WAY is huge (the program's own loading, in huge
      pages where the kernel offers them; the default), small (the same, with
      small pages forced) or vector (a zero-filled std::vector and plain
      reads, the way the program loaded documents before).

  quorvex-bench generate --size SIZE [--seed N] FILE
      Writes a made-up document in the program's input format of exactly
      SIZE bytes to FILE. SIZE is a whole number of bytes with an optional
      suffix K, M or G, powers of 1000: 100M is 100,000,000 bytes. The same
      SIZE and seed (default 1) give the same bytes on every machine.
  quorvex-bench generate --kind KIND [OPTIONS] FILE
      Writes a document made to find the engine's limits:
        random-words --size SIZE [--seed N]
            lines of random words of six to nine letters, nearly all distinct
        long-heading --heading SIZE --lines N [--high-bytes]
            one heading line of SIZE bytes, then N lines "0000000<new word>"
        one-word --size SIZE
            a single word of SIZE letters
        colliding --size SIZE --words N --hash-seed S [--seed N]
            N eight-letter words that crowd one spot of the word index when
            its hash is drawn from S, used over and over to fill SIZE bytes
        control --size SIZE --words N [--seed N]
            the same with N random eight-letter words

  quorvex-bench --help
)";

using Clock = std::chrono::steady_clock;

// The machine may be shared, so every phase is timed both on the wall clock
// and in the processor time this process used.
struct Instant {
    Clock::time_point wall = Clock::now();
    std::clock_t cpu = std::clock();
};

struct Duration {
    double wall;
    double cpu;
};

Duration Between(const Instant& start, const Instant& end) {
    return {std::chrono::duration<double>(end.wall - start.wall).count(),
            static_cast<double>(end.cpu - start.cpu) / CLOCKS_PER_SEC};
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

// Where `quorvex-bench load` puts the document.
enum class LoadWay { Huge, Small, Vector };

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

struct Options {
    bool help = false;
    bool generate = false;
    std::string kind;
    bool loadOnly = false;
    LoadWay way = LoadWay::Huge;
    std::optional<std::uint64_t> size;
    std::optional<std::uint64_t> words;
    std::optional<std::uint64_t> heading;
    std::optional<std::uint64_t> lines;
    std::optional<std::uint64_t> hashSeed;
    bool highBytes = false;
    std::uint64_t seed = kDefaultSeed;
    int runs = kDefaultRuns;
    std::string file;
};

bool KindHasItsOptions(const Options& options) {
    if (!options.generate) {
        return true;
    }
    if (options.kind.empty() || options.kind == "random-words" || options.kind == "one-word") {
        return options.size.has_value();
    }
    if (options.kind == "long-heading") {
        return options.heading && options.lines;
    }
    if (options.kind == "colliding") {
        return options.size && options.words > 0u && options.hashSeed;
    }
    if (options.kind == "control") {
        return options.size && options.words > 0u;
    }
    return false;
}

std::optional<Options> ParseOptions(const std::vector<std::string_view>& args) {
    Options options;
    std::size_t i = 0;
    if (!args.empty() && args[0] == "generate") {
        options.generate = true;
        ++i;
    } else if (!args.empty() && args[0] == "load") {
        options.loadOnly = true;
        ++i;
    }
    std::vector<std::string_view> files;
    for (; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--size" && options.generate && hasValue) {
            options.size = ParseSize(args[++i]);
            if (!options.size) {
                return std::nullopt;
            }
        } else if (arg == "--seed" && options.generate && hasValue) {
            const std::optional<std::uint64_t> seed = ParseNumber(args[++i]);
            if (!seed) {
                return std::nullopt;
            }
            options.seed = *seed;
        } else if (arg == "--kind" && options.generate && hasValue) {
            options.kind = std::string(args[++i]);
        } else if ((arg == "--words" || arg == "--lines" || arg == "--hash-seed") && hasValue) {
            std::optional<std::uint64_t>& value = arg == "--words"   ? options.words
                                                  : arg == "--lines" ? options.lines
                                                                     : options.hashSeed;
            value = ParseNumber(args[++i]);
            if (!value) {
                return std::nullopt;
            }
        } else if (arg == "--heading" && options.generate && hasValue) {
            options.heading = ParseSize(args[++i]);
            if (!options.heading) {
                return std::nullopt;
            }
        } else if (arg == "--high-bytes" && options.generate) {
            options.highBytes = true;
        } else if (arg == "--runs" && !options.generate && hasValue) {
            const std::optional<std::uint64_t> runs = ParseNumber(args[++i]);
            if (!runs || *runs < 1 || *runs > 1000) {
                return std::nullopt;
            }
            options.runs = static_cast<int>(*runs);
        } else if (arg == "--into" && options.loadOnly && hasValue) {
            const std::optional<LoadWay> way = ParseLoadWay(args[++i]);
            if (!way) {
                return std::nullopt;
            }
            options.way = *way;
        } else if (arg.starts_with("-") && arg != "-") {
            return std::nullopt;
        } else {
            files.push_back(arg);
        }
    }
    if (options.help) {
        return options;
    }
    if (files.size() != 1 || !KindHasItsOptions(options)) {
        return std::nullopt;
    }
    options.file = std::string(files.front());
    return options;
}

bool WriteKind(std::FILE* out, const Options& options) {
    namespace bench = quorvex::bench;
    if (options.kind == "random-words") {
        return bench::WriteRandomWords(out, *options.size, options.seed);
    }
    if (options.kind == "long-heading") {
        return bench::WriteLongHeading(out, *options.heading, *options.lines, options.highBytes);
    }
    if (options.kind == "one-word") {
        return bench::WriteOneWord(out, *options.size);
    }
    if (options.kind == "colliding" || options.kind == "control") {
        const auto words = static_cast<std::size_t>(*options.words);
        const std::uint64_t* hashSeed = options.kind == "colliding" ? &*options.hashSeed : nullptr;
        return bench::WriteWordCycle(out, *options.size,
                                     bench::EightLetterWords(words, options.seed, hashSeed));
    }
    return bench::WriteDocument(out, *options.size, options.seed);
}

int Generate(const Options& options) {
    std::FILE* out = std::fopen(options.file.c_str(), "wb");
    if (out == nullptr) {
        std::cerr << "quorvex-bench: cannot write " << options.file << "\n";
        return kExitFailure;
    }
    const Instant start;
    const bool written = WriteKind(out, options);
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        std::cerr << "quorvex-bench: writing " << options.file << " failed\n";
        return kExitFailure;
    }
    std::printf("wrote %s (%s, seed %llu) in %.3f s\n", options.file.c_str(),
                options.kind.empty() ? "text" : options.kind.c_str(),
                static_cast<unsigned long long>(options.seed), Between(start, Instant()).wall);
    return 0;
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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The medians of the wall and processor times, each taken on its own.
Duration Median(const std::vector<Duration>& durations) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (const Duration& duration : durations) {
        wall.push_back(duration.wall);
        cpu.push_back(duration.cpu);
    }
    return {Median(wall), Median(cpu)};
}

double MegabytesPerSecond(std::int64_t bytes, double seconds) {
    return seconds > 0 ? static_cast<double>(bytes) / kBytesPerMegabyte / seconds : 0;
}

void PrintPhase(const char* name, const Duration& duration, std::int64_t bytes) {
    std::printf("%-5s %9.4f s %9.1f MB/s   cpu %9.4f s %9.1f MB/s\n", name, duration.wall,
                MegabytesPerSecond(bytes, duration.wall), duration.cpu,
                MegabytesPerSecond(bytes, duration.cpu));
}

double PeakMemoryBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * kBytesPerMaxRssUnit;
}

int CannotLoad(const Options& options) {
    std::cerr << "quorvex-bench: cannot read " << options.file << "\n";
    return kExitFailure;
}

// One load the chosen way, timed; the loaded bytes are let go untimed.
std::optional<Duration> TimedLoad(const Options& options, std::int64_t& bytes) {
    std::vector<std::uint8_t> vector;
    quorvex::SourceFile file;
    const Instant start;
    if (options.way == LoadWay::Vector) {
        if (!LoadIntoVector(options.file, vector)) {
            return std::nullopt;
        }
        bytes = static_cast<std::int64_t>(vector.size());
    } else {
        file = quorvex::ReadSourceFile(
            options.file, options.way == LoadWay::Small ? quorvex::DocumentPages::Small
                                                        : quorvex::DocumentPages::HugeWhereOffered);
        if (file.problem != quorvex::ReadProblem::None) {
            return std::nullopt;
        }
        bytes = file.length;
    }
    return Between(start, Instant());
}

int LoadOnly(const Options& options) {
    std::vector<Duration> loads;
    std::int64_t bytes = 0;
    for (int run = 0; run < options.runs; ++run) {
        const std::optional<Duration> load = TimedLoad(options, bytes);
        if (!load) {
            return CannotLoad(options);
        }
        loads.push_back(*load);
    }
    PrintPhase("load:", Median(loads), bytes);
    return 0;
}

int Benchmark(const Options& options) {
    quorvex::AnalysisState state;
    const Instant loadStart;
    quorvex::SourceFile file = quorvex::ReadSourceFile(options.file);
    if (file.problem != quorvex::ReadProblem::None) {
        return CannotLoad(options);
    }
    PrintPhase("load:", Between(loadStart, Instant()), file.length);
    state.SourceBytes = std::move(file.bytes);
    state.SourceLength = file.length;
    state.SourceFileName = quorvex::DecodeWindows1252(options.file);
    state.FixedHashSeed = options.hashSeed;

    quorvex::SilentHooks hooks;
    const quorvex::NumberSeparators separators{u",", u"."};
    std::vector<Duration> scan;
    std::vector<Duration> rows;
    std::vector<Duration> engine;
    quorvex::ScanOutcome outcome;
    std::size_t uniqueRows = 0;
    for (int run = 0; run < options.runs; ++run) {
        const Instant scanStart;
        outcome = quorvex::ScanDocument(state, hooks).value();
        const Instant rowsStart;
        const quorvex::ResultLists lists = quorvex::BuildResultLists(state, outcome, separators);
        const Instant rowsEnd;
        uniqueRows = lists.unique.RowCount();
        scan.push_back(Between(scanStart, rowsStart));
        rows.push_back(Between(rowsStart, rowsEnd));
        engine.push_back(Between(scanStart, rowsEnd));
    }

    const std::int64_t bytes = state.SourceLength;
    std::printf("file: %s, %lld bytes, %d runs\n", options.file.c_str(),
                static_cast<long long>(bytes), options.runs);
    std::printf("words: %lld total, %zu unique\n", static_cast<long long>(outcome.totalWords),
                uniqueRows);
    PrintPhase("scan:", Median(scan), bytes);
    PrintPhase("rows:", Median(rows), bytes);
    const Duration total = Median(engine);
    PrintPhase("both:", total, bytes);
    const double peak = PeakMemoryBytes();
    std::printf("peak memory: %.1f MB, %.2f x file size\n", peak / kBytesPerMegabyte,
                bytes > 0 ? peak / static_cast<double>(bytes) : 0.0);
    std::printf("engine: %lld bytes, %.4f s, %.1f MB/s\n", static_cast<long long>(bytes),
                total.wall, MegabytesPerSecond(bytes, total.wall));
    return 0;
}

}  // namespace
int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const std::optional<Options> options = ParseOptions(args);
    if (!options) {
        std::cerr << kUsage;
        return kExitBadArguments;
    }
    if (options->help) {
        std::cout << kUsage;
        return 0;
    }
    if (options->generate) {
        return Generate(*options);
    }
    return options->loadOnly ? LoadOnly(*options) : Benchmark(*options);
}
