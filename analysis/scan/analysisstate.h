#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "analysis/memory/documentbytes.h"
#include "analysis/scan/wordrule.h"
#include "analysis/words/wordindex.h"
#include "analysis/words/wordtable.h"

namespace quorvex {

// The largest document the program accepts: lengths, positions and counts are
// 64-bit so that nothing overflows even at this size.
inline constexpr std::int64_t kMaxSourceLength = 2147483647;

// Everything a run reads and writes. The document fields change only when a
// file is loaded; the rest is rebuilt by InitAnalysisTables at the start of
// every run and holds the last run's results until the next one.
struct AnalysisState {
    std::u16string SourceFileName;
    // May hold more than SourceLength bytes: an empty file leaves the last
    // document's bytes in place. Shared, never copied, with whatever shows
    // text from the document, which keeps the bytes it shows for as long as
    // it needs them, whatever is loaded here meanwhile. Never null.
    std::shared_ptr<const DocumentBytes> SourceBytes = std::make_shared<const DocumentBytes>();
    std::int64_t SourceLength = 0;

    std::array<std::uint8_t, 256> CharMap{};
    std::array<std::int64_t, 256> CharCount{};
    // The words of the run under way, counted as the scan finds them; none
    // between runs.
    std::optional<WordIndex> Words;
    // The words of the last finished scan, none before it. Shared with the
    // Unique Words rows of that run, which stay valid after the next run has
    // started.
    std::shared_ptr<const WordTable> UniqueWords = std::make_shared<const WordTable>();
    // The word index draws its hash afresh for every run; tests and
    // benchmarks that must reproduce a draw fix it here.
    std::optional<std::uint64_t> FixedHashSeed;
};

// The map the word rule gives, zero counters, an empty word index and no
// words of a last run; the document is left alone.
void InitAnalysisTables(AnalysisState& state);

// Gives back the last run's words, whether still counted in the index or
// already in their table: after a failed run, its memory is free again at
// once. Lists that show the words of a run keep them.
void DiscardRunResults(AnalysisState& state);

}  // namespace quorvex
