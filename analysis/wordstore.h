#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/wordindex.h"

namespace quorvex {

// Where the scan currently is: the last heading text and line reference. A
// new word records them together as the text of its first occurrence. The
// text is made only when a new word needs it, and only once per change of
// place, so that most lines cost nothing here.
struct FirstOccursPlace {
    std::string headingText;
    std::string lineRef;
    bool changed = true;
    std::uint32_t textId = 0;

    void SetHeading(std::string_view text) {
        headingText.assign(text);
        changed = true;
    }
    void SetLineRef(std::string_view text) {
        lineRef.assign(text);
        changed = true;
    }
};

// A word of nine letters or more, by its first sixteen letters packed.
struct LongKey {
    std::uint64_t prefix = 0;
    std::uint64_t middle = 0;

    friend bool operator==(const LongKey&, const LongKey&) = default;
};

// The distinct words of a run, each with its count and first occurrence, in
// 26 buckets by first letter with slots in order of first occurrence. Finding
// a word goes through a hash index, so a full bucket costs no more than an
// empty one; buckets grow as needed and never drop a word.
class WordStore {
  public:
    static constexpr std::size_t kPackedLetters = 8;

    WordStore() { Clear(); }
    void Clear();

    // Counts one occurrence of `word` (one or more of the letters a to z).
    // A word not seen before takes the next slot of its bucket and records
    // `place` as its first occurrence. Returns true for a new word.
    bool Tally(std::string_view word, FirstOccursPlace& place);

    // The same for words packed into integers, the first letter in the
    // lowest byte and zeros after the last: one to eight letters, or nine to
    // sixteen. This is how the scan counts almost every word: a known word
    // costs a multiplication and, mostly, one look at one slot.
    bool TallyPacked(std::uint64_t packed, FirstOccursPlace& place) {
        const std::size_t at = short_.ProbeWhole(packed, HashShort(packed));
        if (short_[at].entry != 0) {
            ++short_[at].hits;
            return false;
        }
        return AddShort(at, packed, place);
    }
    bool TallyPacked(const LongKey& key, FirstOccursPlace& place) {
        const std::size_t at = long_.ProbeWhole(key, HashLong(key));
        if (long_[at].entry != 0) {
            ++long_[at].hits;
            return false;
        }
        return AddLong(at, key, place);
    }

    // `letter` is 'a' to 'z'; `slot` counts from 1 up to BucketFill(letter).
    std::int64_t BucketFill(char letter) const;
    std::string_view WordText(char letter, std::int64_t slot) const;
    std::int64_t WordHits(char letter, std::int64_t slot) const;
    std::string_view WordFirstOccurs(char letter, std::int64_t slot) const;

    std::int64_t UniqueTotal() const { return static_cast<std::int64_t>(entries_.size()); }

  private:
    struct Entry {
        std::uint64_t textOffset;
        std::uint32_t length;
        std::uint32_t placeId;
    };

    static std::uint64_t HashShort(std::uint64_t packed) {
        return packed * WordIndex<std::uint64_t>::kHashMultiplier;
    }
    static std::uint64_t HashLong(const LongKey& key) {
        constexpr std::uint64_t kMul = WordIndex<LongKey>::kHashMultiplier;
        return ((key.prefix * kMul) ^ key.middle) * kMul;
    }
    static std::uint64_t HashText(std::string_view word);

    const Entry& At(char letter, std::int64_t slot) const;
    std::string_view Text(const Entry& entry) const;
    std::uint32_t PlaceId(FirstOccursPlace& place);
    std::uint32_t AddEntry(std::string_view word, FirstOccursPlace& place);
    bool AddShort(std::size_t at, std::uint64_t packed, FirstOccursPlace& place);
    bool AddLong(std::size_t at, const LongKey& key, FirstOccursPlace& place);
    bool TallyVeryLong(std::string_view word, FirstOccursPlace& place);
    std::size_t FindVeryLong(const LongKey& key, std::string_view word) const;
    std::uint64_t HashOfLongSlot(const WordIndex<LongKey>::Slot& slot) const;

    std::string text_;  // the letters of every stored word, one after another
    std::vector<Entry> entries_;
    std::array<std::vector<std::uint32_t>, 26> buckets_;
    std::vector<std::string> places_;
    WordIndex<std::uint64_t> short_;  // words of up to eight letters
    WordIndex<LongKey> long_;         // longer words; beyond sixteen letters, text compared
};

}  // namespace quorvex
