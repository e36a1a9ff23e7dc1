#include "analysis/occurrences/contextsort.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "analysis/scan/wordrule.h"

namespace quorvex {

namespace {

// The words of one side of an occurrence, nearest first.
class SideWords {
  public:
    SideWords(const Occurrences& occurrences, ContextSide side, std::size_t at)
        : bytes_(occurrences.Document()), side_(side) {
        if (side == ContextSide::Left) {
            position_ = occurrences.StartOf(at);
            limit_ = occurrences.ScanStartOf(at);
        } else {
            position_ = occurrences.EndOf(at);
            limit_ = bytes_.size();
        }
    }

    // The next word folded into `word`; false when the side has no more.
    bool Next(std::string& word) {
        for (;;) {
            word.clear();
            if (!SkipSeparators()) {
                return false;
            }
            while (!AtLimit() && kWordRule[Byte()] != kSeparator) {
                if (kWordRule[Byte()] != kDeleted) {
                    word += static_cast<char>(kWordRule[Byte()]);
                }
                Step();
            }
            if (!word.empty()) {
                if (side_ == ContextSide::Left) {
                    std::reverse(word.begin(), word.end());
                }
                return true;
            }
        }
    }

  private:
    bool AtLimit() const { return position_ == limit_; }
    // The byte next in the walk.
    std::uint8_t Byte() const {
        return side_ == ContextSide::Left ? bytes_[position_ - 1] : bytes_[position_];
    }
    void Step() { side_ == ContextSide::Left ? --position_ : ++position_; }
    // To the right the line ends at its line feed.
    bool SkipSeparators() {
        while (!AtLimit() && kWordRule[Byte()] == kSeparator) {
            if (side_ == ContextSide::Right && Byte() == '\n') {
                return false;
            }
            Step();
        }
        return !AtLimit();
    }

    std::span<const std::uint8_t> bytes_;
    ContextSide side_;
    std::size_t position_;
    std::size_t limit_;
};

int CompareSides(const Occurrences& occurrences, ContextSide side, std::size_t a, std::size_t b) {
    SideWords wordsA(occurrences, side, a);
    SideWords wordsB(occurrences, side, b);
    std::string wordA;
    std::string wordB;
    for (;;) {
        const bool moreA = wordsA.Next(wordA);
        const bool moreB = wordsB.Next(wordB);
        if (!moreA || !moreB) {
            return moreA - moreB;
        }
        if (const int c = wordA.compare(wordB); c != 0) {
            return c;
        }
    }
}

template <typename Compare>
void StableOrder(std::size_t rows, bool descending, std::vector<std::uint32_t>& order,
                 const Compare& compare) {
    order.resize(rows);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return descending ? compare(b, a) < 0 : compare(a, b) < 0;
    });
}

}  // namespace

void SortByContext(const Occurrences& occurrences, ContextSide side, bool descending,
                   std::vector<std::uint32_t>& order) {
    StableOrder(occurrences.size(), descending, order, [&](std::size_t a, std::size_t b) {
        return CompareSides(occurrences, side, a, b);
    });
}

void SortByWrittenWord(const Occurrences& occurrences, bool descending,
                       std::vector<std::uint32_t>& order) {
    const std::vector<std::string>& words = occurrences.Words();
    StableOrder(occurrences.size(), descending, order, [&](std::size_t a, std::size_t b) {
        if (const int c = words[occurrences.WordOf(a)].compare(words[occurrences.WordOf(b)]);
            c != 0) {
            return c;
        }
        return occurrences.WrittenWord(a).compare(occurrences.WrittenWord(b));
    });
}

}  // namespace quorvex
