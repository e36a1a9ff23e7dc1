#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "testsupport/docgen/randomsource.h"

namespace quorvex::docgen {

// Made-up words of small letters, built from syllables, ranked by frequency:
// short words at the top, longer ones further down, all distinct. Ranks are
// drawn by Zipf's law (rank r with weight 1/(r+1)), as in natural text.
class Vocabulary {
  public:
    Vocabulary(std::size_t size, std::uint64_t seed);

    std::size_t Size() const { return words_.size(); }
    const std::string& Word(std::size_t rank) const { return words_[rank]; }
    std::size_t DrawRank(RandomSource& random) const;

  private:
    void BuildWords(std::size_t size, RandomSource& random);
    void BuildRankTable();

    std::vector<std::string> words_;
    // cumulative_[r] is the summed integer weight of ranks 0 to r; integers
    // keep the draws identical on every platform.
    std::vector<std::uint64_t> cumulative_;
    // guide_[k] is the first rank that a draw in the k-th slice of the weight
    // range can fall on, so a draw searches a few ranks instead of all.
    std::vector<std::uint32_t> guide_;
};

}  // namespace quorvex::docgen
