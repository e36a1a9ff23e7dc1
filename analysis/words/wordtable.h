#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "analysis/memory/mappedarray.h"

namespace quorvex {

inline constexpr std::size_t kLineRefLength = 7;

// One distinct word as the lists show it.
struct StoredWord {
    std::string_view text;
    std::int64_t hits;
    std::uint32_t place;
};

// The distinct words of a finished run, each with its count and first
// occurrence, in bucket order: by first letter, a to z, and within a letter
// by first occurrence. Nothing changes it once made, so the rows of a list
// can share it for as long as they are shown.
//
// Per distinct word it holds its letters, one entry and one row number; one
// place per change of heading or line reference that introduced a new word;
// each such heading's text once.
class WordTable {
  public:
    // A word's letters lie in the table's letters at textOffset.
    struct Entry {
        std::uint32_t textOffset;
        std::uint32_t length;
        std::uint32_t hits;
        std::uint32_t place;

        std::string_view Text(const MappedArray<char>& letters) const {
            return {letters.data() + textOffset, length};
        }
    };
    // A first occurrence: the heading it came under, by number, and its line
    // reference. Heading 0 is the empty text of a document's first lines.
    struct Place {
        std::uint32_t heading;
        std::uint8_t lineRefLength;
        std::array<char, kLineRefLength> lineRef;
    };
    struct HeadingSpan {
        std::uint64_t offset;
        std::uint64_t length;
    };
    // What a scan found, its words in order of first occurrence.
    struct Contents {
        MappedArray<Entry> entries;
        MappedArray<char> letters;  // of every word, one after another
        MappedArray<Place> places;
        MappedArray<HeadingSpan> headings;  // each into headingText
        MappedArray<char> headingText;
    };

    // The words of no run.
    WordTable() = default;
    explicit WordTable(Contents contents);

    std::int64_t UniqueTotal() const { return static_cast<std::int64_t>(entries_.size()); }
    // The count of the most frequent word, 0 when there is none.
    std::int64_t LargestHits() const;

    StoredWord Word(std::size_t row) const;
    // Calls visit(row, word) for every word, in the order the table holds
    // them rather than by row: reading every word then goes through the
    // table's memory from start to end, instead of to a far place for each.
    template <typename Visit>
    void VisitAsStored(const Visit& visit) const {
        std::array<std::size_t, 27> nextRow = letterStarts_;
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            const Entry& entry = entries_[e];
            const std::string_view text = entry.Text(letters_);
            visit(nextRow[static_cast<unsigned char>(text.front()) - 'a']++,
                  StoredWord{text, entry.hits, entry.place});
        }
    }
    // A first occurrence is its heading's text followed by its line reference.
    std::string_view PlaceHeading(std::uint32_t place) const;
    std::string_view PlaceLineRef(std::uint32_t place) const;
    std::uint32_t PlaceHeadingId(std::uint32_t place) const { return places_[place].heading; }
    std::size_t PlaceCount() const { return places_.size(); }
    // The first row of each letter, a to z, and the end of the last.
    const std::array<std::size_t, 27>& LetterStarts() const { return letterStarts_; }

  private:
    unsigned char FirstLetter(std::size_t entry) const;
    void PutInBucketOrder();

    MappedArray<Entry> entries_;
    MappedArray<char> letters_;
    MappedArray<Place> places_;
    MappedArray<HeadingSpan> headings_;
    MappedArray<char> headingText_;
    MappedArray<std::uint32_t> rows_;  // entries in bucket order
    std::array<std::size_t, 27> letterStarts_{};
};

}  // namespace quorvex
