#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "analysis/scan/analysisstate.h"

namespace quorvex {

// Counts the bytes of the scanned parts of text lines and tallies their
// words. A word is a run of letters and apostrophes holding at least one
// letter, folded to small letters with the apostrophes dropped: exactly what
// folding every byte through the character map and cutting at its spaces
// gives, found here a block of bytes at a time instead of a byte at a time.
class TextScanner {
  public:
    // `source` is the whole document: every range handed to Scan lies in it.
    TextScanner(AnalysisState& state, std::span<const std::uint8_t> source);

    FirstOccursPlace& Place() { return place_; }

    // One scanned range. Ranges end in a line feed, a separator, except the
    // last line of a document without one, whose last word ends with it.
    void Scan(std::span<const std::uint8_t> bytes);

    // Adds the byte counts into CharCount once the scan is over.
    void Finish();

    std::int64_t TotalWords() const { return totalWords_; }

  private:
    void CountBytes(std::span<const std::uint8_t> bytes);
    void TallyWords(std::span<const std::uint8_t> bytes);
    int TallyLoadable(WordIndex& words, const std::uint8_t* loadable, const std::uint8_t* run,
                      std::size_t length, bool apostrophe);
    int TallyWithoutApostrophes(WordIndex& words, const std::uint8_t* loadable, std::size_t length);
    int TallyRunSlowly(const std::uint8_t* run, std::size_t length);
    std::size_t FoldWithoutApostrophes(const std::uint8_t* run, std::size_t length,
                                       char* word) const;
    std::uint64_t LoadUpTo8(const std::uint8_t* bytes, std::size_t length) const;

    AnalysisState& state_;
    const std::uint8_t* sourceEnd_;
    FirstOccursPlace place_;
    std::int64_t totalWords_ = 0;
    // Four tables, so that runs of one byte value do not wait on each other's
    // increments. Each count stays below the document's length.
    std::array<std::array<std::uint32_t, 256>, 4> counts_{};
};

}  // namespace quorvex
