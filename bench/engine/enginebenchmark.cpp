#include "bench/engine/enginebenchmark.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "analysis/analysedocument.h"
#include "analysis/scan/analysisstate.h"
#include "analysis/scan/documentscan.h"
#include "analysis/text/codepage.h"
#include "bench/engine/phasetiming.h"
#include "loading/sourcefile.h"

namespace quorvex::bench {

namespace {

// The times of every run's phases, and what the last run found.
struct EngineRuns {
    std::vector<Duration> scan;
    std::vector<Duration> rows;
    std::vector<Duration> engine;
    std::int64_t totalWords = 0;
    std::size_t uniqueRows = 0;
};

EngineRuns RunEngine(AnalysisState& state, int runs) {
    SilentHooks hooks;
    const NumberSeparators separators{u",", u"."};
    EngineRuns result;
    for (int run = 0; run < runs; ++run) {
        const Instant scanStart;
        const ScanOutcome outcome = ScanDocument(state, hooks).value();
        const Instant rowsStart;
        const ResultLists lists = BuildResultLists(state, outcome, separators);
        const Instant rowsEnd;
        result.totalWords = outcome.totalWords;
        result.uniqueRows = lists.unique.RowCount();
        result.scan.push_back(Between(scanStart, rowsStart));
        result.rows.push_back(Between(rowsStart, rowsEnd));
        result.engine.push_back(Between(scanStart, rowsEnd));
    }
    return result;
}

void PrintRuns(const EngineOptions& options, const EngineRuns& runs, std::int64_t bytes) {
    std::printf("file: %s, %lld bytes, %d runs\n", options.line.file.c_str(),
                static_cast<long long>(bytes), options.runs);
    std::printf("words: %lld total, %zu unique\n", static_cast<long long>(runs.totalWords),
                runs.uniqueRows);
    PrintPhase("scan:", Median(runs.scan), bytes);
    PrintPhase("rows:", Median(runs.rows), bytes);
    const Duration total = Median(runs.engine);
    PrintPhase("both:", total, bytes);
    const double peak = PeakMemoryBytes();
    std::printf("peak memory: %.1f MB, %.2f x file size\n", peak / kBytesPerMegabyte,
                bytes > 0 ? peak / static_cast<double>(bytes) : 0.0);
    std::printf("engine: %lld bytes, %.4f s, %.1f MB/s\n", static_cast<long long>(bytes),
                total.wall, MegabytesPerSecond(bytes, total.wall));
}

}  // namespace

std::optional<EngineOptions> ParseEngineOptions(std::span<const std::string_view> args) {
    EngineOptions options;
    const Option known[] = {RunsOption(options.runs)};
    if (!ReadCommandLine(args, known, options.line)) {
        return std::nullopt;
    }
    return options;
}

int RunEngineBenchmark(const EngineOptions& options) {
    AnalysisState state;
    const Instant loadStart;
    SourceFile file = ReadSourceFile(options.line.file);
    if (file.problem != ReadProblem::None) {
        return CannotRead(options.line.file);
    }
    PrintPhase("load:", Between(loadStart, Instant()), file.length);
    state.SourceBytes = std::make_shared<const DocumentBytes>(std::move(file.bytes));
    state.SourceLength = file.length;
    state.SourceFileName = DecodeWindows1252(options.line.file);
    state.FixedHashSeed = options.line.hashSeed;
    PrintRuns(options, RunEngine(state, options.runs), state.SourceLength);
    return 0;
}

}  // namespace quorvex::bench
