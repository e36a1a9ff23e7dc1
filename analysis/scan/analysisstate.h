#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "analysis/memory/documentbytes.h"
#include "analysis/scan/wordrule.h"
#include "analysis/words/wordstore.h"

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
    // document's bytes in place.
    DocumentBytes SourceBytes;
    std::int64_t SourceLength = 0;

    std::array<std::uint8_t, 256> CharMap{};
    std::array<std::int64_t, 256> CharCount{};
    // Shared with the Unique Words rows of the run that filled it, which stay
    // valid after the next run has started a store of its own.
    std::shared_ptr<WordStore> Words = std::make_shared<WordStore>();
    // The word index draws its hash afresh for every run; tests and
    // benchmarks that must reproduce a draw fix it here.
    std::optional<std::uint64_t> FixedHashSeed;
};

// The map the word rule gives, zero counters, empty word store; the document
// is left alone.
void InitAnalysisTables(AnalysisState& state);

}  // namespace quorvex
