#include "analysis/words/wordindex.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace quorvex {

namespace {

// A kilobyte: what a short document's words fill; a longer one's index grows
// by doubling, which costs little next to its scan.
constexpr std::size_t kInitialIndexSize = 64;
constexpr std::size_t kLongKeyLetters = 2 * WordIndex::kPackedLetters;
constexpr unsigned kFiveBits = 0x1F;

std::uint64_t Pack(std::string_view letters) {
    std::uint64_t packed = 0;
    std::memcpy(&packed, letters.data(), std::min(letters.size(), WordIndex::kPackedLetters));
    return packed;
}

LongKey PackLong(std::string_view word) {
    return {Pack(word), Pack(word.substr(WordIndex::kPackedLetters))};
}

std::uint64_t Load8(const char* letters) {
    std::uint64_t packed = 0;
    std::memcpy(&packed, letters, sizeof packed);
    return packed;
}

// Letters 8 * chunk onwards of a word of eight letters or more, packed, zeros
// after the last: the last eight letters are read and the ones before this
// chunk shifted out, so that nothing past the word is read.
std::uint64_t ChunkOf(std::string_view word, std::size_t chunk) {
    const std::size_t at = chunk * WordIndex::kPackedLetters;
    if (at + WordIndex::kPackedLetters <= word.size()) {
        return Load8(word.data() + at);
    }
    return Load8(word.data() + word.size() - WordIndex::kPackedLetters) >>
           (8 * (at + WordIndex::kPackedLetters - word.size()));
}

}  // namespace

WordIndex::WordIndex(std::uint64_t hashSeed) : hash_(hashSeed) {
    ResizeIndex(kInitialIndexSize);
    headings_.push_back(HeadingSpan{0, 0});
}

// Lays out the letters of a packed word or a five-bit key; returns their number.
std::size_t WordIndex::Unpack(std::uint64_t packed, char* text) {
    if ((packed & kFiveBitKeyMark) == 0) {
        std::memcpy(text, &packed, kPackedLetters);
        return kPackedLetters - static_cast<std::size_t>(std::countl_zero(packed)) / 8;
    }
    std::size_t length = 0;
    for (std::uint64_t rest = packed & ~kFiveBitKeyMark; rest != 0; rest >>= 5) {
        text[length++] = static_cast<char>('a' - 1 + (rest & kFiveBits));
    }
    return length;
}

// A fresh index, filled again from the old one's slots: a short word's hash
// is one multiplication, a longer word's is in its slot already. Taken in the
// old order, each slot lands at about twice its old place, so both indexes
// are walked from front to back rather than all over.
void WordIndex::ResizeIndex(std::size_t size) {
    MappedArray<Slot> old = std::move(slots_);
    slots_ = MappedArray<Slot>::Zeroed(size);
    mask_ = size - 1;
    shift_ = 64 - std::countr_zero(size);
    for (std::size_t i = 0; i < old.size(); ++i) {
        const Slot& slot = old[i];
        if (slot.entry == 0) {
            continue;
        }
        // a longer word's check keeps the high half of its hash, which
        // chooses the slot in an index of up to 2^32 slots
        std::size_t at = Home((slot.entry & kLongWord) != 0 ? slot.check : hash_.Short(slot.check));
        while (slots_[at].entry != 0) {
            at = (at + 1) & mask_;
        }
        slots_[at] = slot;
    }
}

void WordIndex::MoveHitsToEntries() {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].entry != 0) {
            entries_[(slots_[i].entry & ~kLongWord) - 1].hits = slots_[i].hits;
        }
    }
}

std::uint64_t WordIndex::LongHash(std::string_view word) const {
    if (word.size() <= kLongKeyLetters) {
        const LongKey key = PackLong(word);
        return hash_.Long(key.prefix, key.middle);
    }
    return hash_.Long(word.size(), [word](std::size_t chunk) { return ChunkOf(word, chunk); });
}

bool WordIndex::Tally(std::string_view word, FirstOccursPlace& place) {
    CountQueued(place);
    if (word.size() <= kPackedLetters) {
        return TallyPacked(Pack(word), place);
    }
    if (word.size() <= kLongKeyLetters) {
        return TallyPacked(PackLong(word), place);
    }
    return TallyLong(word, LongHash(word), place);
}

bool WordIndex::TallyPacked(std::uint64_t packed, FirstOccursPlace& place) {
    CountQueued(place);
    return TallyShort(packed, hash_.Short(packed), place);
}

bool WordIndex::TallyPacked(const LongKey& key, FirstOccursPlace& place) {
    if (HasFiveBitKey(key)) {
        return TallyPacked(FiveBitKey(key), place);
    }
    CountQueued(place);
    return TallyLong(key, hash_.Long(key.prefix, key.middle), place);
}

bool WordIndex::TallyLong(const LongKey& key, std::uint64_t hash, FirstOccursPlace& place) {
    char letters[kLongKeyLetters];
    std::memcpy(letters, &key.prefix, kPackedLetters);
    std::memcpy(letters + kPackedLetters, &key.middle, kPackedLetters);
    return TallyLong({letters, LongKeyLength(key.middle)}, hash, place);
}

bool WordIndex::AddPacked(std::size_t at, std::uint64_t packed, FirstOccursPlace& place) {
    char letters[kLongKeyLetters];
    return Add(at, packed, {letters, Unpack(packed, letters)}, place);
}

void WordIndex::Queue(std::string_view word, FirstOccursPlace& place) {
    if (word.size() <= kPackedLetters) {
        QueueShort(Pack(word), place);
    } else if (word.size() <= kLongKeyLetters) {
        QueueLong(PackLong(word), place);
    } else {
        if (word.data() != RoomForQueuedWord()) {
            word.copy(RoomForQueuedWord(), kLongestQueuedWord);
        }
        Enqueue(Queued{0, kQueuedText | word.size(), LongHash(word)}, place);
    }
}

void WordIndex::CountQueued(FirstOccursPlace& place) {
    for (std::size_t i = queued_ > kStagingLead ? queued_ - kStagingLead : 0; i < queued_; ++i) {
        FetchStoredLetters(queue_[i]);
    }
    for (std::size_t i = 0; i < queued_; ++i) {
        const Queued& word = queue_[i];
        if (word.middle == 0) {
            TallyShort(word.prefix, word.hash, place);
        } else if ((word.middle & kQueuedText) != 0) {
            TallyLong({queuedText_[i].data(), word.middle & ~kQueuedText}, word.hash, place);
        } else {
            TallyLong(LongKey{word.prefix, word.middle}, word.hash, place);
        }
    }
    queued_ = 0;
}

// Starts the read of the letters of the longer word the word's hash leads
// to, if there is one.
void WordIndex::FetchLongWordLetters(const Queued& word) const {
    if (const Slot* slot = LongWordSlot(word.hash)) {
        __builtin_prefetch(letters_.data() + static_cast<std::uint32_t>(slot->check));
    }
}

// The first slot of a longer word whose hash shares this one's high half, on
// the hash's way through the index, or none.
const WordIndex::Slot* WordIndex::LongWordSlot(std::uint64_t hash) const {
    for (std::size_t at = Home(hash);; at = (at + 1) & mask_) {
        const Slot& slot = slots_[at];
        if (slot.entry == 0) {
            return nullptr;
        }
        if (((slot.check ^ hash) & kHashHalf) == 0 && (slot.entry & kLongWord) != 0) {
            return &slot;
        }
    }
}

// Letter by letter: the comparison stops at the first difference, at the
// latest at the stored word's zero, which no letter of `word` is, and so
// never reads past the stored word, however much longer `word` is.
bool WordIndex::StoredLettersAre(const Slot& slot, std::string_view word) const {
    const char* stored = letters_.data() + static_cast<std::uint32_t>(slot.check);
    for (const char letter : word) {
        if (*stored++ != letter) {
            return false;
        }
    }
    return *stored == kLongWordEnd;
}

bool WordIndex::TallyLong(std::string_view word, std::uint64_t hash, FirstOccursPlace& place) {
    for (std::size_t at = Home(hash);; at = (at + 1) & mask_) {
        Slot& slot = slots_[at];
        if (slot.entry == 0) {
            return Add(at, LongCheck(hash, letters_.size()), word, place, kLongWord);
        }
        if (((slot.check ^ hash) & kHashHalf) == 0 && (slot.entry & kLongWord) != 0 &&
            StoredLettersAre(slot, word)) {
            ++slot.hits;
            return false;
        }
    }
}

// Up to four fifths full, then twice the size: a typical document's index
// then stays in the cache, and a document of tens of millions of distinct
// words keeps its index within its own size.
bool WordIndex::Add(std::size_t at, std::uint64_t check, std::string_view word,
                    FirstOccursPlace& place, std::uint32_t longWord) {
    if (entries_.size() >= kLongWord - 1 ||
        letters_.size() + word.size() + 1 > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("too many distinct words");
    }
    const Entry entry{static_cast<std::uint32_t>(letters_.size()),
                      static_cast<std::uint32_t>(word.size()), 0, PlaceId(place)};
    letters_.Append(word.data(), word.size());
    if (longWord != 0) {
        letters_.push_back(kLongWordEnd);
    }
    entries_.push_back(entry);
    slots_[at] = Slot{check, static_cast<std::uint32_t>(entries_.size()) | longWord, 1};
    if (entries_.size() * 5 > slots_.size() * 4) {
        ResizeIndex(slots_.size() * 2);
    }
    return true;
}

std::uint32_t WordIndex::StoreHeading(const std::array<std::string_view, 4>& text) {
    const std::uint64_t offset = headingText_.size();
    for (const std::string_view piece : text) {
        if (!piece.empty()) {
            headingText_.Append(piece.data(), piece.size());
        }
    }
    headings_.push_back(HeadingSpan{offset, headingText_.size() - offset});
    return static_cast<std::uint32_t>(headings_.size() - 1);
}

// Each change of heading or line reference makes one new place, and only
// when a new word needs it.
std::uint32_t WordIndex::PlaceId(FirstOccursPlace& place) {
    if (place.changed) {
        if (place.headingChanged) {
            place.headingId = StoreHeading(place.headingText);
            place.headingChanged = false;
        }
        places_.push_back(Place{place.headingId, place.lineRefLength, place.lineRef});
        place.placeId = static_cast<std::uint32_t>(places_.size() - 1);
        place.changed = false;
    }
    return place.placeId;
}

WordTable WordIndex::Seal() && {
    if (queued_ > 0) {
        throw std::logic_error("words were queued after the last count");
    }
    MoveHitsToEntries();
    slots_ = MappedArray<Slot>();
    return WordTable({.entries = std::move(entries_),
                      .letters = std::move(letters_),
                      .places = std::move(places_),
                      .headings = std::move(headings_),
                      .headingText = std::move(headingText_)});
}

}  // namespace quorvex
