#include "analysis/wordstore.h"

#include <cstring>
#include <stdexcept>

namespace quorvex {

namespace {

constexpr std::size_t kInitialIndexSize = 4096;

std::uint64_t LoadUpTo8(const char* p, std::size_t n) {
    std::uint64_t v = 0;
    if (n >= 8) {
        std::memcpy(&v, p, 8);
        return v;
    }
    for (std::size_t i = 0; i < n; ++i) {
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    }
    return v;
}

// Words are short, so a word hashes in one or two multiplications.
std::uint64_t HashWord(std::string_view word) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = word.size() * kMul;
    const char* p = word.data();
    std::size_t left = word.size();
    do {
        const std::size_t take = left < 8 ? left : 8;
        h = (h ^ LoadUpTo8(p, take)) * kMul;
        h ^= h >> 29;
        p += take;
        left -= take;
    } while (left > 0);
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 32);
}

}  // namespace

void WordStore::Clear() {
    text_.clear();
    entries_.clear();
    for (auto& bucket : buckets_) {
        bucket.clear();
    }
    places_.clear();
    index_.assign(kInitialIndexSize, 0);
    indexMask_ = kInitialIndexSize - 1;
}

bool WordStore::Tally(std::string_view word, FirstOccursPlace& place) {
    if (index_.empty()) {
        Clear();
    }
    const std::uint64_t hash = HashWord(word);
    const std::uint64_t tag = hash & 0xFFFFFFFF00000000ull;
    for (std::uint64_t i = hash & indexMask_;; i = (i + 1) & indexMask_) {
        const std::uint64_t slot = index_[i];
        if (slot == 0) {
            index_[i] = tag | (static_cast<std::uint64_t>(Add(word, place)) + 1);
            if (entries_.size() * 2 > index_.size()) {
                GrowIndex();
            }
            return true;
        }
        if ((slot & 0xFFFFFFFF00000000ull) == tag) {
            Entry& entry = entries_[(slot & 0xFFFFFFFFu) - 1];
            if (entry.length == word.size() &&
                std::memcmp(text_.data() + entry.textOffset, word.data(), word.size()) == 0) {
                ++entry.hits;
                return false;
            }
        }
    }
}

std::uint32_t WordStore::PlaceId(FirstOccursPlace& place) {
    if (place.changed || places_.empty()) {
        places_.push_back(place.headingText + place.lineRef);
        place.textId = static_cast<std::uint32_t>(places_.size() - 1);
        place.changed = false;
    }
    return place.textId;
}

std::uint32_t WordStore::Add(std::string_view word, FirstOccursPlace& place) {
    if (entries_.size() >= 0xFFFFFFFEu) {
        throw std::length_error("too many distinct words");
    }
    const auto id = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(
        Entry{text_.size(), static_cast<std::uint32_t>(word.size()), PlaceId(place), 1});
    text_.append(word);
    buckets_[static_cast<unsigned char>(word.front()) - 'a'].push_back(id);
    return id;
}

void WordStore::GrowIndex() {
    std::vector<std::uint64_t> old(index_.size() * 2, 0);
    old.swap(index_);
    indexMask_ = index_.size() - 1;
    for (const std::uint64_t slot : old) {
        if (slot == 0) {
            continue;
        }
        const Entry& entry = entries_[(slot & 0xFFFFFFFFu) - 1];
        const std::uint64_t hash = HashWord({text_.data() + entry.textOffset, entry.length});
        std::uint64_t i = hash & indexMask_;
        while (index_[i] != 0) {
            i = (i + 1) & indexMask_;
        }
        index_[i] = slot;
    }
}

const WordStore::Entry& WordStore::At(char letter, std::int64_t slot) const {
    return entries_[buckets_.at(static_cast<unsigned char>(letter) - 'a')
                        .at(static_cast<std::size_t>(slot - 1))];
}

std::int64_t WordStore::BucketFill(char letter) const {
    return static_cast<std::int64_t>(buckets_.at(static_cast<unsigned char>(letter) - 'a').size());
}

std::string_view WordStore::WordText(char letter, std::int64_t slot) const {
    const Entry& entry = At(letter, slot);
    return {text_.data() + entry.textOffset, entry.length};
}

std::int64_t WordStore::WordHits(char letter, std::int64_t slot) const {
    return At(letter, slot).hits;
}

std::string_view WordStore::WordFirstOccurs(char letter, std::int64_t slot) const {
    return places_[At(letter, slot).placeId];
}

}  // namespace quorvex
