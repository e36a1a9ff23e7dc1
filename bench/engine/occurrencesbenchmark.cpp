#include "bench/engine/occurrencesbenchmark.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "analysis/occurrences/concordancerows.h"
#include "analysis/occurrences/occurrencesearch.h"
#include "bench/engine/phasetiming.h"
#include "loading/sourcefile.h"

namespace quorvex::bench {

namespace {

struct SortRuns {
    std::vector<Duration> times;
    // The most the process held during the sort above what it held before
    // the first sort of its round: memory freed by an earlier sort and kept
    // by the allocator counts, as it does in the window.
    double peakBytes = 0;
};

struct SearchRuns {
    std::vector<Duration> search;
    SortRuns sortLeft;
    SortRuns sortRight;
    std::shared_ptr<const Occurrences> found;
};

// Into one order kept over the sorts, so that the peak is what a sort takes
// beside the rows and an order.
void TimedSort(const ConcordanceRows& rows, ConcordanceRows::Column column,
               std::vector<std::uint32_t>& order, double before, SortRuns& runs) {
    ResetPeakMemory();
    const Instant start;
    rows.SortRows(IndexOf(column), false, order);
    runs.times.push_back(Between(start, Instant()));
    runs.peakBytes = std::max(runs.peakBytes, PeakSinceResetBytes() - before);
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
            std::vector<std::uint32_t> order;
            rows.SortRows(IndexOf(ConcordanceRows::Column::Reference), false, order);
            const double before = ResidentBytes();
            TimedSort(rows, ConcordanceRows::Column::Left, order, before, runs.sortLeft);
            TimedSort(rows, ConcordanceRows::Column::Right, order, before, runs.sortRight);
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
        for (const auto& [name, sort] :
             {std::pair("sort left:", &runs.sortLeft), std::pair("sort right:", &runs.sortRight)}) {
            PrintPhase(name, Median(sort->times), bytes);
            std::printf("  peak above the memory before the sorts: %.1f MB, %.1f bytes a row\n",
                        sort->peakBytes / kBytesPerMegabyte,
                        sort->peakBytes /
                            static_cast<double>(std::max<std::size_t>(runs.found->size(), 1)));
        }
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
