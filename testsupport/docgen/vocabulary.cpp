#include "testsupport/docgen/vocabulary.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_set>

namespace quorvex::docgen {

namespace {

// Repeats make the common letters common.
constexpr std::array<std::string_view, 56> kOnsets = {
    "",   "",   "",   "",   "b",  "c",  "d",  "d",  "f",  "g",  "h",  "h",  "h",  "j",
    "k",  "l",  "l",  "m",  "m",  "n",  "n",  "p",  "p",  "r",  "r",  "s",  "s",  "s",
    "t",  "t",  "t",  "v",  "w",  "w",  "y",  "z",  "bl", "br", "ch", "cl", "cr", "dr",
    "fl", "fr", "gl", "gr", "pl", "pr", "sh", "sl", "sp", "st", "th", "th", "tr", "wh"};
constexpr std::array<std::string_view, 16> kNuclei = {"a", "a", "e",  "e",  "e",  "i",  "i",  "o",
                                                      "o", "u", "ai", "ea", "ee", "oo", "ou", "ie"};
constexpr std::array<std::string_view, 32> kCodas = {
    "",  "",  "",  "",  "",  "",  "",  "",  "",  "",   "",   "",   "",   "",   "n",  "n",
    "r", "r", "s", "s", "t", "t", "l", "m", "d", "th", "st", "nd", "ng", "rk", "ck", "ll"};

constexpr std::uint64_t kWeightScale = std::uint64_t{1} << 40;
constexpr std::size_t kGuideSlices = std::size_t{1} << 16;

template <std::size_t N>
std::string_view Pick(const std::array<std::string_view, N>& parts, RandomSource& random) {
    return parts[random.Below(static_cast<std::uint32_t>(N))];
}

// Frequent words are short, as in real text.
std::uint32_t SyllableCount(std::size_t rank, RandomSource& random) {
    if (rank < 100) {
        return 1;
    }
    if (rank < 3000) {
        return random.Between(1, 2);
    }
    if (rank < 20000) {
        return 2;
    }
    return random.Between(2, 3);
}

std::string MakeWord(std::uint32_t syllables, RandomSource& random) {
    std::string word;
    for (std::uint32_t i = 0; i < syllables; ++i) {
        word += Pick(kOnsets, random);
        word += Pick(kNuclei, random);
        word += Pick(kCodas, random);
    }
    return word;
}

}  // namespace

Vocabulary::Vocabulary(std::size_t size, std::uint64_t seed) {
    RandomSource random(seed);
    BuildWords(size, random);
    BuildRankTable();
}

void Vocabulary::BuildWords(std::size_t size, RandomSource& random) {
    words_.reserve(size);
    std::unordered_set<std::string> taken;
    while (words_.size() < size) {
        std::string word = MakeWord(SyllableCount(words_.size(), random), random);
        if (taken.insert(word).second) {
            words_.push_back(std::move(word));
        }
    }
}

void Vocabulary::BuildRankTable() {
    cumulative_.resize(words_.size());
    std::uint64_t total = 0;
    for (std::size_t rank = 0; rank < words_.size(); ++rank) {
        total += kWeightScale / (rank + 1);
        cumulative_[rank] = total;
    }
    guide_.resize(kGuideSlices + 1);
    std::size_t rank = 0;
    for (std::size_t slice = 0; slice <= kGuideSlices; ++slice) {
        const std::uint64_t sliceStart = total / kGuideSlices * slice;
        while (rank + 1 < words_.size() && cumulative_[rank] <= sliceStart) {
            ++rank;
        }
        guide_[slice] = static_cast<std::uint32_t>(rank);
    }
}

std::size_t Vocabulary::DrawRank(RandomSource& random) const {
    const std::uint64_t total = cumulative_.back();
    const std::uint64_t value = random.Next() % total;
    const std::size_t slice = std::min<std::size_t>(value / (total / kGuideSlices), kGuideSlices);
    const auto first = cumulative_.begin() + guide_[slice];
    const auto last =
        slice == kGuideSlices ? cumulative_.end() : cumulative_.begin() + guide_[slice + 1] + 1;
    return static_cast<std::size_t>(std::upper_bound(first, last, value) - cumulative_.begin());
}

}  // namespace quorvex::docgen
