// quorvex-bench: writes made-up documents and measures the analysis engine
// on them, outside the window, so that its speed and memory can be compared
// with other tools run on the same file. The first argument names the job.

#include <iostream>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "bench/engine/enginebenchmark.h"
#include "bench/engine/generatecommand.h"
#include "bench/engine/loadbenchmark.h"
#include "bench/engine/occurrencesbenchmark.h"

namespace {

constexpr int kExitBadArguments = 2;

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
        vocabulary --size SIZE --letters A-B [--seed N]
            lines of ten words (six from 25 letters up) drawn from 40,000
            random words of A to B letters
        shared-prefix --size SIZE --shared N [--letters A-B] [--seed N]
            lines of random words that all begin with the same N letters,
            then six to nine random ones, or as many as make A to B letters

  quorvex-bench occurrences [--runs N] [--sorts] WORD... FILE
      Loads FILE once, then finds the occurrences of one to eight WORDs
      (small letters a to z, as Unique Words shows them) N times (default 5),
      as the Occurrences window does. Prints the occurrences of each word,
      the words counted, the median of the search as a phase line as above,
      with --sorts the medians of sorting the concordance by Left and by
      Right, each with its peak memory above that before the sorts, and the
      peak memory.

  quorvex-bench --help
)";

// Every job answers a bad command line, or a call for help, with the usage.
template <typename Options>
int RunJob(const std::optional<Options>& options, int (*run)(const Options&)) {
    if (!options) {
        std::cerr << kUsage;
        return kExitBadArguments;
    }
    if (options->line.help) {
        std::cout << kUsage;
        return 0;
    }
    return run(*options);
}

}  // namespace

int main(int argc, char** argv) {
    namespace bench = quorvex::bench;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const std::string_view job = args.empty() ? std::string_view() : args.front();
    const std::span<const std::string_view> jobArgs = std::span(args).subspan(args.empty() ? 0 : 1);
    if (job == "generate") {
        return RunJob(bench::ParseGenerateOptions(jobArgs), bench::RunGenerateCommand);
    }
    if (job == "load") {
        return RunJob(bench::ParseLoadOptions(jobArgs), bench::RunLoadBenchmark);
    }
    if (job == "occurrences") {
        return RunJob(bench::ParseOccurrencesOptions(jobArgs), bench::RunOccurrencesBenchmark);
    }
    return RunJob(bench::ParseEngineOptions(args), bench::RunEngineBenchmark);
}
