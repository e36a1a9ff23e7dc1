#include "bench/engine/occurrencesbenchmark.h"

#include <cstdio>
#include <stdexcept>

#include "analysis/occurrences/concordancerows.h"
#include "analysis/occurrences/occurrencesearch.h"
#include "bench/engine/phasetiming.h"
#include "loading/sourcefile.h"

namespace quorvex::bench {

namespace {

struct SearchRuns {
    std::vector<Duration> search;
    std::vector<Duration> sortLeft;
    std::vector<Duration> sortRight;
    std::shared_ptr<const Occurrences> found;
};

Duration TimedSort(const ConcordanceRows& rows, ConcordanceRows::Column column) {
    std::vector<std::uint32_t> order;
    const Instant start;
    rows.SortRows(IndexOf(column), false, order);
    return Between(start, Instant());
}

SearchRuns RunSearches(const OccurrencesOptions& options,
                       const std::shared_ptr<const DocumentBytes>& bytes, std::int64_t length) {
    SearchRuns runs;
    const SearchProgress goOn = [](std::int64_t, std::int64_t) { return RunControl::Continue; };
    for (int run = 0; run < options.runs; ++run) {
        runs.found.reset();
        const Instant start;
        runs.found = FindOccurrences(bytes, length, options.words, goOn);
        runs.search.push_back(Between(start, Instant()));
        if (options.sorts) {
            const ConcordanceRows rows(runs.found);
            runs.sortLeft.push_back(TimedSort(rows, ConcordanceRows::Column::Left));
            runs.sortRight.push_back(TimedSort(rows, ConcordanceRows::Column::Right));
        }
    }
    return runs;
}

void PrintRuns(const OccurrencesOptions& options, const SearchRuns& runs, std::int64_t bytes) {
    std::printf("file: %s, %lld bytes, %d runs\n", options.line.file.c_str(),
                static_cast<long long>(bytes), options.runs);
    for (std::size_t word = 0; word < options.words.size(); ++word) {
        std::printf("occurrences: %s %lld\n", options.words[word].c_str(),
                    static_cast<long long>(runs.found->CountOf(word)));
    }
    std::printf("words: %lld total, %zu headings\n",
                static_cast<long long>(runs.found->TotalWords()), runs.found->HeadingCount() - 1);
    PrintPhase("search:", Median(runs.search), bytes);
    if (options.sorts) {
        PrintPhase("sort left:", Median(runs.sortLeft), bytes);
        PrintPhase("sort right:", Median(runs.sortRight), bytes);
    }
    std::printf("peak memory: %.1f MB\n", PeakMemoryBytes() / kBytesPerMegabyte);
}

}  // namespace

std::optional<OccurrencesOptions> ParseOccurrencesOptions(std::span<const std::string_view> args) {
    OccurrencesOptions options;
    const Option known[] = {RunsOption(options.runs),
                            {"--sorts", false, [&options](std::string_view) {
                                 options.sorts = true;
                                 return true;
                             }}};
    if (!ReadCommandLine(args, known, options.line, &options.words)) {
        return std::nullopt;
    }
    return options;
}

int RunOccurrencesBenchmark(const OccurrencesOptions& options) {
    SourceFile file = ReadSourceFile(options.line.file);
    if (file.problem != ReadProblem::None) {
        return CannotRead(options.line.file);
    }
    const auto bytes = std::make_shared<const DocumentBytes>(std::move(file.bytes));
    try {
        PrintRuns(options, RunSearches(options, bytes, file.length), file.length);
    } catch (const std::invalid_argument&) {
        std::fprintf(stderr, "quorvex-bench: words are one to eight distinct words of a to z\n");
        return kExitFailure;
    }
    return 0;
}

}  // namespace quorvex::bench
