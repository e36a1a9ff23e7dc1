#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    // The same for a word of one to eight letters packed into an integer,
    // its first letter in the lowest byte and zeros above its last.
    bool TallyPacked(std::uint64_t packed, FirstOccursPlace& place);

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
    // One place in the hash index. Most words fit the prefix whole, so that
    // counting them touches nothing but this slot. A word can occur at most
    // once per two bytes of a document under 2 GiB, so 32 bits hold its hits.
    struct Slot {
        std::uint64_t prefix;  // the first eight letters, packed
        std::uint32_t entry;   // entry number + 1, kLongWord for more than eight letters; 0 is free
        std::uint32_t hits;
    };
    static constexpr std::uint32_t kLongWord = 0x80000000u;

    const Entry& At(char letter, std::int64_t slot) const;
    std::string_view Text(const Entry& entry) const;
    const Entry& EntryOf(const Slot& slot) const { return entries_[(slot.entry & ~kLongWord) - 1]; }
    std::size_t Find(std::string_view word) const;
    std::size_t Probe(std::uint64_t hash, std::uint64_t prefix, std::string_view word) const;
    std::uint32_t PlaceId(FirstOccursPlace& place);
    bool Count(std::size_t at, std::uint64_t prefix, std::string_view word,
               FirstOccursPlace& place);
    void GrowIndex();

    std::string text_;  // the letters of every stored word, one after another
    std::vector<Entry> entries_;
    std::array<std::vector<std::uint32_t>, 26> buckets_;
    std::vector<std::string> places_;
    std::vector<Slot> index_;  // open addressing, linear probing
    std::uint64_t indexMask_ = 0;
    int indexShift_ = 64;
};

}  // namespace quorvex
