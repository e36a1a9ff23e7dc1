#include "analysis/wordstore.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace quorvex {

namespace {

constexpr std::size_t kInitialIndexSize = 4096;
constexpr std::size_t kLongKeyLetters = 2 * WordStore::kPackedLetters;

std::uint64_t Pack(std::string_view letters) {
    std::uint64_t packed = 0;
    std::memcpy(&packed, letters.data(), std::min(letters.size(), WordStore::kPackedLetters));
    return packed;
}

LongKey PackLong(std::string_view word) {
    return {Pack(word), Pack(word.substr(WordStore::kPackedLetters))};
}

std::string_view Unpack(const std::uint64_t& packed) {
    const auto length = WordStore::kPackedLetters - std::countl_zero(packed) / 8;
    return {reinterpret_cast<const char*>(&packed), length};
}

}  // namespace

void WordStore::Clear() {
    text_.clear();
    entries_.clear();
    for (auto& bucket : buckets_) {
        bucket.clear();
    }
    places_.clear();
    short_.Reset(kInitialIndexSize);
    long_.Reset(kInitialIndexSize);
}

// The hash of a word longer than sixteen letters goes on over the rest.
std::uint64_t WordStore::HashText(std::string_view word) {
    std::uint64_t h = HashLong(PackLong(word));
    for (std::size_t at = kLongKeyLetters; at < word.size(); at += kPackedLetters) {
        h = (h ^ Pack(word.substr(at))) * WordIndex<LongKey>::kHashMultiplier;
    }
    return h;
}

bool WordStore::Tally(std::string_view word, FirstOccursPlace& place) {
    if (word.size() <= kPackedLetters) {
        return TallyPacked(Pack(word), place);
    }
    if (word.size() <= kLongKeyLetters) {
        return TallyPacked(PackLong(word), place);
    }
    return TallyVeryLong(word, place);
}

std::size_t WordStore::FindVeryLong(const LongKey& key, std::string_view word) const {
    return long_.Probe(key, HashText(word), true,
                       [&](std::uint32_t entry) { return Text(entries_[entry]) == word; });
}

bool WordStore::TallyVeryLong(std::string_view word, FirstOccursPlace& place) {
    const LongKey key = PackLong(word);
    const std::size_t at = FindVeryLong(key, word);
    if (long_[at].entry != 0) {
        ++long_[at].hits;
        return false;
    }
    long_.Fill(at, key, AddEntry(word, place), true,
               [this](const auto& slot) { return HashOfLongSlot(slot); });
    return true;
}

std::uint32_t WordStore::AddEntry(std::string_view word, FirstOccursPlace& place) {
    if (entries_.size() >= WordIndex<LongKey>::kTextCheck - 1) {
        throw std::length_error("too many distinct words");
    }
    const auto id = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(
        Entry{text_.size(), static_cast<std::uint32_t>(word.size()), PlaceId(place)});
    text_.append(word);
    buckets_[static_cast<unsigned char>(word.front()) - 'a'].push_back(id);
    return id;
}

bool WordStore::AddShort(std::size_t at, std::uint64_t packed, FirstOccursPlace& place) {
    short_.Fill(at, packed, AddEntry(Unpack(packed), place), false,
                [](const auto& slot) { return HashShort(slot.key); });
    return true;
}

bool WordStore::AddLong(std::size_t at, const LongKey& key, FirstOccursPlace& place) {
    const std::uint64_t letters[2] = {key.prefix, key.middle};
    const std::string_view word(reinterpret_cast<const char*>(letters),
                                kPackedLetters + Unpack(key.middle).size());
    long_.Fill(at, key, AddEntry(word, place), false,
               [this](const auto& slot) { return HashOfLongSlot(slot); });
    return true;
}

std::uint64_t WordStore::HashOfLongSlot(const WordIndex<LongKey>::Slot& slot) const {
    if ((slot.entry & WordIndex<LongKey>::kTextCheck) == 0) {
        return HashLong(slot.key);
    }
    return HashText(Text(entries_[(slot.entry & ~WordIndex<LongKey>::kTextCheck) - 1]));
}

std::uint32_t WordStore::PlaceId(FirstOccursPlace& place) {
    if (place.changed || places_.empty()) {
        places_.push_back(place.headingText + place.lineRef);
        place.textId = static_cast<std::uint32_t>(places_.size() - 1);
        place.changed = false;
    }
    return place.textId;
}

std::string_view WordStore::Text(const Entry& entry) const {
    return {text_.data() + entry.textOffset, entry.length};
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
    const std::string_view word = WordText(letter, slot);
    if (word.size() <= kPackedLetters) {
        const std::uint64_t packed = Pack(word);
        return short_[short_.ProbeWhole(packed, HashShort(packed))].hits;
    }
    const LongKey key = PackLong(word);
    if (word.size() <= kLongKeyLetters) {
        return long_[long_.ProbeWhole(key, HashLong(key))].hits;
    }
    return long_[FindVeryLong(key, word)].hits;
}

std::string_view WordStore::WordFirstOccurs(char letter, std::int64_t slot) const {
    return places_[At(letter, slot).placeId];
}

}  // namespace quorvex
