#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace quorvex {

// An open-addressing hash index from a word's packed letters to its entry
// in the word store, with the word's hit count kept in the slot itself: a
// word already seen is counted by touching one slot and nothing else.
//
// Keys hold a word's letters packed into integers (the first letter in the
// lowest byte, zeros after the last), so equal keys are equal words, except
// for words longer than a key holds: their slots are marked, and their text
// is compared as well.
template <typename Key>
class WordIndex {
  public:
    static constexpr std::uint32_t kTextCheck = 0x80000000u;

    struct Slot {
        Key key{};
        std::uint32_t entry = 0;  // entry number + 1, or 0 for a free slot; may carry kTextCheck
        std::uint32_t hits = 0;   // a word occurs at most once per two bytes of a document
    };

    static constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ull;

    explicit WordIndex(std::size_t initialSize = 1024) { Reset(initialSize); }

    void Reset(std::size_t size) {
        slots_.assign(size, Slot{});
        mask_ = size - 1;
        shift_ = 64 - std::countr_zero(size);
        used_ = 0;
    }

    // The slot holding `key` (and, for a marked word, accepted by
    // `sameText(entry number)`), or the free slot where it belongs.
    template <typename SameText>
    std::size_t Probe(const Key& key, std::uint64_t hash, bool textCheck,
                      const SameText& sameText) const {
        for (std::uint64_t i = hash >> shift_;; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (slot.entry == 0) {
                return i;
            }
            if (slot.key == key && ((slot.entry & kTextCheck) != 0) == textCheck &&
                (!textCheck || sameText((slot.entry & ~kTextCheck) - 1))) {
                return i;
            }
        }
    }

    // The slot of a key that is its word's whole text.
    std::size_t ProbeWhole(const Key& key, std::uint64_t hash) const {
        for (std::uint64_t i = hash >> shift_;; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if ((slot.key == key && (slot.entry & kTextCheck) == 0) || slot.entry == 0) {
                return i;
            }
        }
    }

    Slot& operator[](std::size_t at) { return slots_[at]; }
    const Slot& operator[](std::size_t at) const { return slots_[at]; }

    void Prefetch(std::uint64_t hash) const { __builtin_prefetch(&slots_[hash >> shift_]); }

    // Puts a new word into the free slot `at`. Up to two thirds full, then
    // twice the size: a typical document's index then stays in the cache.
    // `hashOf(slot)` gives the hash of a stored word.
    template <typename HashOf>
    void Fill(std::size_t at, const Key& key, std::uint32_t entryNumber, bool textCheck,
              const HashOf& hashOf) {
        slots_[at] = Slot{key, (entryNumber + 1) | (textCheck ? kTextCheck : 0), 1};
        if (++used_ * 3 > slots_.size() * 2) {
            Grow(hashOf);
        }
    }

  private:
    template <typename HashOf>
    void Grow(const HashOf& hashOf) {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        mask_ = slots_.size() - 1;
        --shift_;
        for (const Slot& slot : old) {
            if (slot.entry == 0) {
                continue;
            }
            std::uint64_t i = hashOf(slot) >> shift_;
            while (slots_[i].entry != 0) {
                i = (i + 1) & mask_;
            }
            slots_[i] = slot;
        }
    }

    std::vector<Slot> slots_;
    std::uint64_t mask_ = 0;
    int shift_ = 64;
    std::size_t used_ = 0;
};

}  // namespace quorvex
