#include "analysis/words/wordtable.h"

#include <algorithm>
#include <utility>

namespace quorvex {

WordTable::WordTable(Contents contents)
    : entries_(std::move(contents.entries)),
      letters_(std::move(contents.letters)),
      places_(std::move(contents.places)),
      headings_(std::move(contents.headings)),
      headingText_(std::move(contents.headingText)) {
    PutInBucketOrder();
}

unsigned char WordTable::FirstLetter(std::size_t entry) const {
    return static_cast<unsigned char>(letters_[entries_[entry].textOffset]);
}

// A counting sort by first letter, which keeps the order of first occurrence
// within each letter.
void WordTable::PutInBucketOrder() {
    std::array<std::size_t, 27> next{};
    for (std::size_t e = 0; e < entries_.size(); ++e) {
        ++next[FirstLetter(e) - 'a' + 1];
    }
    for (std::size_t letter = 1; letter < next.size(); ++letter) {
        next[letter] += next[letter - 1];
    }
    letterStarts_ = next;
    rows_ = MappedArray<std::uint32_t>::Zeroed(entries_.size());
    for (std::size_t e = 0; e < entries_.size(); ++e) {
        rows_[next[FirstLetter(e) - 'a']++] = static_cast<std::uint32_t>(e);
    }
}

std::int64_t WordTable::LargestHits() const {
    std::uint32_t largest = 0;
    for (std::size_t e = 0; e < entries_.size(); ++e) {
        largest = std::max(largest, entries_[e].hits);
    }
    return largest;
}

StoredWord WordTable::Word(std::size_t row) const {
    const Entry& entry = entries_[rows_[row]];
    return {entry.Text(letters_), entry.hits, entry.place};
}

std::string_view WordTable::PlaceHeading(std::uint32_t place) const {
    const HeadingSpan& span = headings_[places_[place].heading];
    return {headingText_.data() + span.offset, span.length};
}

std::string_view WordTable::PlaceLineRef(std::uint32_t place) const {
    const Place& stored = places_[place];
    return {stored.lineRef.data(), stored.lineRefLength};
}

}  // namespace quorvex
