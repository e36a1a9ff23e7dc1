#include "analysis/wordstore.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace quorvex {

namespace {

constexpr std::size_t kInitialIndexSize = 4096;
constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;

// Multiplicative hashing: the index takes the product's top bits, which
// depend on every letter.
std::uint64_t Mix(std::uint64_t h) {
    return h * kMul;
}

std::uint64_t Pack(std::string_view letters) {
    std::uint64_t packed = 0;
    std::memcpy(&packed, letters.data(), std::min(letters.size(), WordStore::kPackedLetters));
    return packed;
}

// A word of up to eight letters hashes from its packed form alone, so the
// scan never has to lay it out as text to count it.
std::uint64_t HashWord(std::uint64_t prefix, std::string_view word) {
    std::uint64_t h = Mix(prefix);
    for (std::size_t at = WordStore::kPackedLetters; at < word.size();
         at += WordStore::kPackedLetters) {
        h = Mix(h ^ Pack(word.substr(at)));
    }
    return h;
}

// Compares two words known to share their first eight letters, eight letters
// at a time, without a library call for these short texts.
bool SameLongWord(std::string_view stored, std::string_view word) {
    if (stored.size() != word.size()) {
        return false;
    }
    for (std::size_t at = WordStore::kPackedLetters; at < word.size();
         at += WordStore::kPackedLetters) {
        if (Pack(stored.substr(at)) != Pack(word.substr(at))) {
            return false;
        }
    }
    return true;
}

}  // namespace

void WordStore::Clear() {
    text_.clear();
    entries_.clear();
    for (auto& bucket : buckets_) {
        bucket.clear();
    }
    places_.clear();
    index_.assign(kInitialIndexSize, Slot{});
    indexMask_ = kInitialIndexSize - 1;
    indexShift_ = 64 - std::countr_zero(kInitialIndexSize);
}

bool WordStore::TallyPacked(std::uint64_t packed, FirstOccursPlace& place) {
    char letters[kPackedLetters];
    std::memcpy(letters, &packed, kPackedLetters);
    const std::size_t length =
        kPackedLetters - static_cast<std::size_t>(__builtin_clzll(packed)) / 8;
    const std::string_view word(letters, length);
    return Count(Probe(Mix(packed), packed, word), packed, word, place);
}

bool WordStore::Tally(std::string_view word, FirstOccursPlace& place) {
    if (word.size() <= kPackedLetters) {
        return TallyPacked(Pack(word), place);
    }
    const std::uint64_t prefix = Pack(word);
    return Count(Probe(HashWord(prefix, word), prefix, word), prefix, word, place);
}

// Where `word` is in the index, or the free slot where it belongs.
std::size_t WordStore::Probe(std::uint64_t hash, std::uint64_t prefix,
                             std::string_view word) const {
    const bool isLong = word.size() > kPackedLetters;
    for (std::uint64_t i = hash >> indexShift_;; i = (i + 1) & indexMask_) {
        const Slot& slot = index_[i];
        if (slot.entry == 0) {
            return i;
        }
        if (slot.prefix == prefix && ((slot.entry & kLongWord) != 0) == isLong &&
            (!isLong || SameLongWord(Text(EntryOf(slot)), word))) {
            return i;
        }
    }
}

// Adds a hit to the word at index slot `at`, or stores it there as new.
bool WordStore::Count(std::size_t at, std::uint64_t prefix, std::string_view word,
                      FirstOccursPlace& place) {
    Slot& slot = index_[at];
    if (slot.entry != 0) {
        ++slot.hits;
        return false;
    }
    if (entries_.size() >= kLongWord - 1) {
        throw std::length_error("too many distinct words");
    }
    const auto id = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(
        Entry{text_.size(), static_cast<std::uint32_t>(word.size()), PlaceId(place)});
    text_.append(word);
    buckets_[static_cast<unsigned char>(word.front()) - 'a'].push_back(id);
    slot = Slot{prefix, (id + 1) | (word.size() > kPackedLetters ? kLongWord : 0), 1};
    // Up to two thirds full: the index of a typical document then stays
    // within the processor's second-level cache.
    if (entries_.size() * 3 > index_.size() * 2) {
        GrowIndex();
    }
    return true;
}

std::uint32_t WordStore::PlaceId(FirstOccursPlace& place) {
    if (place.changed || places_.empty()) {
        places_.push_back(place.headingText + place.lineRef);
        place.textId = static_cast<std::uint32_t>(places_.size() - 1);
        place.changed = false;
    }
    return place.textId;
}

void WordStore::GrowIndex() {
    std::vector<Slot> old(index_.size() * 2, Slot{});
    old.swap(index_);
    indexMask_ = index_.size() - 1;
    --indexShift_;
    for (const Slot& slot : old) {
        if (slot.entry == 0) {
            continue;
        }
        const std::string_view word = Text(EntryOf(slot));
        std::uint64_t i = HashWord(slot.prefix, word) >> indexShift_;
        while (index_[i].entry != 0) {
            i = (i + 1) & indexMask_;
        }
        index_[i] = slot;
    }
}

std::string_view WordStore::Text(const Entry& entry) const {
    return {text_.data() + entry.textOffset, entry.length};
}

std::size_t WordStore::Find(std::string_view word) const {
    const std::uint64_t prefix = Pack(word);
    return Probe(HashWord(prefix, word), prefix, word);
}

const WordStore::Entry& WordStore::At(char letter, std::int64_t slot) const {
    return entries_[buckets_.at(static_cast<unsigned char>(letter) - 'a')
                        .at(static_cast<std::size_t>(slot - 1))];
}

std::int64_t WordStore::BucketFill(char letter) const {
    return static_cast<std::int64_t>(buckets_.at(static_cast<unsigned char>(letter) - 'a').size());
}

std::string_view WordStore::WordText(char letter, std::int64_t slot) const {
    return Text(At(letter, slot));
}

std::int64_t WordStore::WordHits(char letter, std::int64_t slot) const {
    return index_[Find(WordText(letter, slot))].hits;
}

std::string_view WordStore::WordFirstOccurs(char letter, std::int64_t slot) const {
    return places_[At(letter, slot).placeId];
}

}  // namespace quorvex
