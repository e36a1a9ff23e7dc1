#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <string_view>

#include "analysis/memory/mappedarray.h"
#include "analysis/words/wordhash.h"
#include "analysis/words/wordtable.h"

namespace quorvex {

// Where the scan currently is: the last heading line and line reference. A
// new word records them as its first occurrence. The heading is kept as the
// document has it and copied into the index only when a word first needs it,
// once however many words it introduces; most lines cost nothing here.
struct FirstOccursPlace {
    // The heading's text in pieces to put one after the other, views into
    // the document.
    std::array<std::string_view, 4> headingText;
    std::array<char, kLineRefLength> lineRef{};
    std::uint8_t lineRefLength = 0;
    bool headingChanged = false;
    bool changed = true;
    std::uint32_t headingId = 0;
    std::uint32_t placeId = 0;

    void SetHeading(const std::array<std::string_view, 4>& text) {
        headingText = text;
        headingChanged = true;
        changed = true;
    }
    void SetLineRef(std::string_view text) {
        lineRefLength = static_cast<std::uint8_t>(text.copy(lineRef.data(), kLineRefLength));
        changed = true;
    }
};

// A word of nine letters or more, by its first sixteen letters packed.
struct LongKey {
    std::uint64_t prefix = 0;
    std::uint64_t middle = 0;
};

// The distinct words of a run while its scan goes on: each word's count and
// first occurrence, found through a hash index that grows as needed and
// never drops a word, so that finding a word costs about the same however
// many there are.
//
// Memory is bounded by the document: per distinct word its letters (and a
// zero after a word of nine letters or more that is not kept by a key), one
// entry and two and a half index slots at most (four while the index grows),
// and one place when it is the first new word since the heading or line
// reference changed; each heading's text at most once.
class WordIndex {
  public:
    static constexpr std::size_t kPackedLetters = 8;
    static constexpr std::size_t kLongestQueuedWord = 64;

    explicit WordIndex(std::uint64_t hashSeed = WordHash::RandomSeed());

    // Counts one occurrence of `word` (one or more of the letters a to z).
    // A word not seen before is added after all others and records `place`
    // as its first occurrence. Returns true for a new word.
    bool Tally(std::string_view word, FirstOccursPlace& place);

    // Room for `length` letters just past the stored letters, valid until the
    // next word is counted: a word laid out there and then tallied is kept
    // where it lies if it is new, and never copied.
    char* RoomForLetters(std::size_t length) { return letters_.RoomAtEnd(length); }

    // How the scan counts almost every word: packed as above, or, from
    // seventeen letters up to kLongestQueuedWord, as text, and counted a
    // little later, by the next CountQueued or when the queue is full, in the
    // order queued. Meanwhile what the word is checked against is fetched
    // from memory while the words before it are looked up, so that a large
    // index costs one wait for many words, not one for each: its slot, and
    // for a word of nine letters or more, which is told apart by its stored
    // letters, those letters. A short word is counted at once
    // while the index fits the processor's caches and nothing is queued. The
    // place must stay the same until the queue is counted.
    void QueueShort(std::uint64_t packed, FirstOccursPlace& place) {
        const std::uint64_t hash = hash_.Short(packed);
        if (slots_.size() <= kSlotsCountedAtOnce && queued_ == 0) {
            TallyShort(packed, hash, place);
            return;
        }
        Enqueue(Queued{packed, 0, hash}, place);
    }
    void QueueLong(const LongKey& key, FirstOccursPlace& place) {
        if (HasFiveBitKey(key)) {
            QueueShort(FiveBitKey(key), place);
            return;
        }
        Enqueue(Queued{key.prefix, key.middle, hash_.Long(key.prefix, key.middle)}, place);
    }
    // `word` is one to kLongestQueuedWord small letters. A word laid out in
    // the room RoomForQueuedWord gives, of kLongestQueuedWord letters and
    // eight more, is queued without a copy.
    void Queue(std::string_view word, FirstOccursPlace& place);
    char* RoomForQueuedWord() { return queuedText_[queued_].data(); }
    void CountQueued(FirstOccursPlace& place);

    // Nine to twelve letters fit one integer at five bits a letter: such a
    // word is indexed as a short one, by that integer, its top bit set so
    // that it differs from every word of eight letters or fewer.
    static bool HasFiveBitKey(const LongKey& key) { return key.middle >> 32 == 0; }
    static std::uint64_t FiveBitKey(const LongKey& key) {
        return FiveBitLetters(key.prefix) | FiveBitLetters(key.middle) << kFiveBitPrefixBits |
               kFiveBitKeyMark;
    }

    // The scan is over: the counts move to the words, the index is given
    // back, and the words go to the table the lists read, without a copy.
    // The index is used up: nothing can be counted after this.
    WordTable Seal() &&;

  private:
    // Tally for words packed into integers, the first letter in the lowest
    // byte and zeros after the last: one to eight letters, or nine to sixteen.
    bool TallyPacked(std::uint64_t packed, FirstOccursPlace& place);
    bool TallyPacked(const LongKey& key, FirstOccursPlace& place);

    static constexpr std::uint32_t kLongWord = 0x80000000u;
    // An index of up to 2 MiB stays in the caches: its words are counted at once.
    static constexpr std::size_t kSlotsCountedAtOnce = std::size_t{1} << 17;
    static constexpr std::uint64_t kFiveBitKeyMark = 1ull << 63;
    static constexpr int kFiveBitPrefixBits = 40;

    // Eight packed letters (or zeros after the last) at five bits each, the
    // first letter lowest: a small letter's low five bits are 1 to 26, never 0.
    static std::uint64_t FiveBitLetters(std::uint64_t packed) {
        std::uint64_t x = packed & 0x1F1F1F1F1F1F1F1Full;
        x = (x & 0x001F001F001F001Full) | (x & 0x1F001F001F001F00ull) >> 3;
        x = (x & 0x000003FF000003FFull) | (x & 0x03FF000003FF0000ull) >> 6;
        return (x & 0xFFFFFull) | (x >> 12 & 0xFFFFF00000ull);
    }

    // A word's count is kept in its slot while the scan runs, so that a
    // known word is counted by touching that slot and, for a word of nine
    // letters or more, which is told apart by its stored letters, those
    // letters: the slot says where they lie.
    struct Slot {
        // A short word's packed letters, or for nine to twelve letters its
        // five-bit key; for a longer word the high half of its hash and
        // where its letters begin.
        std::uint64_t check;
        std::uint32_t entry;  // entry number + 1, or 0 for a free slot; may carry kLongWord
        std::uint32_t hits;   // a word occurs at most once per two bytes of a document
    };
    // An entry's hits are taken from its slot when the scan is over.
    using Entry = WordTable::Entry;
    using Place = WordTable::Place;
    using HeadingSpan = WordTable::HeadingSpan;
    // A queued word. `middle` is 0 for a short word, whose letters are in
    // `prefix`; for nine to sixteen letters it holds the ninth onwards, a
    // letter in its first byte; from seventeen letters on it is kQueuedText
    // and the length, and the letters are in the queue's text room.
    struct Queued {
        std::uint64_t prefix;
        std::uint64_t middle;
        std::uint64_t hash;
    };
    static constexpr std::size_t kQueueLength = 16;
    static constexpr std::uint64_t kQueuedText = 1ull << 63;
    static constexpr std::size_t kStagingLead = 4;

    // A queued word's slot is fetched at once; a longer word's stored letters
    // a few words later, once its slot is there to say where they are.
    void Enqueue(const Queued& word, FirstOccursPlace& place) {
        __builtin_prefetch(&slots_[Home(word.hash)]);
        queue_[queued_] = word;
        if (++queued_ > kStagingLead) {
            FetchStoredLetters(queue_[queued_ - 1 - kStagingLead]);
        }
        if (queued_ == kQueueLength) {
            CountQueued(place);
        }
    }
    void FetchStoredLetters(const Queued& word) const {
        if (word.middle != 0) {
            FetchLongWordLetters(word);
        }
    }
    void FetchLongWordLetters(const Queued& word) const;
    const Slot* LongWordSlot(std::uint64_t hash) const;
    bool StoredLettersAre(const Slot& slot, std::string_view word) const;

    // A longer word's letters are stored with a zero after them, which no
    // letter is: a comparison ends there, and the byte after a word's length
    // tells a stored word that merely begins with it apart.
    static constexpr char kLongWordEnd = 0;
    static constexpr std::uint64_t kHashHalf = 0xFFFFFFFF00000000ull;
    static std::uint64_t LongCheck(std::uint64_t hash, std::size_t lettersAt) {
        return (hash & kHashHalf) | lettersAt;
    }

    static std::size_t Unpack(std::uint64_t packed, char* text);
    // The length of a word of nine to sixteen letters, by its ninth onwards.
    static std::size_t LongKeyLength(std::uint64_t middle) {
        return 2 * kPackedLetters - static_cast<std::size_t>(std::countl_zero(middle)) / 8;
    }

    std::size_t Home(std::uint64_t hash) const { return hash >> shift_; }
    bool TallyShort(std::uint64_t packed, std::uint64_t hash, FirstOccursPlace& place) {
        for (std::size_t at = Home(hash);; at = (at + 1) & mask_) {
            Slot& slot = slots_[at];
            if (slot.check == packed && (slot.entry & kLongWord) == 0) {
                ++slot.hits;
                return false;
            }
            if (slot.entry == 0) {
                return AddPacked(at, packed, place);
            }
        }
    }
    bool TallyLong(const LongKey& key, std::uint64_t hash, FirstOccursPlace& place);
    bool TallyLong(std::string_view word, std::uint64_t hash, FirstOccursPlace& place);
    bool AddPacked(std::size_t at, std::uint64_t packed, FirstOccursPlace& place);
    bool Add(std::size_t at, std::uint64_t check, std::string_view word, FirstOccursPlace& place,
             std::uint32_t longWord = 0);
    std::uint32_t PlaceId(FirstOccursPlace& place);
    std::uint32_t StoreHeading(const std::array<std::string_view, 4>& text);
    void ResizeIndex(std::size_t size);
    void MoveHitsToEntries();
    std::uint64_t LongHash(std::string_view word) const;

    WordHash hash_;
    MappedArray<Slot> slots_;
    std::uint64_t mask_ = 0;
    int shift_ = 64;
    MappedArray<Entry> entries_;
    MappedArray<char> letters_;  // of every word, one after another
    MappedArray<Place> places_;
    MappedArray<HeadingSpan> headings_;
    MappedArray<char> headingText_;
    std::array<Queued, kQueueLength> queue_{};
    std::size_t queued_ = 0;
    std::array<std::array<char, kLongestQueuedWord + kPackedLetters>, kQueueLength> queuedText_;
};

}  // namespace quorvex
