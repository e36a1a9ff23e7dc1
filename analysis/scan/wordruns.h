#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <span>

#include "analysis/scan/blockmasks.h"

namespace quorvex {

// How far past its first byte a run within a block may be read.
inline constexpr std::size_t kRunLoadReach = 16;

namespace wordruns {

using BlockCopy = std::array<std::uint8_t, kBlock + kRunLoadReach>;

// The masks of a block, cleared past `available`, so that a run reaching the
// end of the range ends there. Where reading kRunLoadReach bytes past the
// block could leave the document, the block is copied, zeros after it, and
// `block` then points at the copy.
inline BlockMasks MasksAt(const std::uint8_t*& block, std::size_t available,
                          const std::uint8_t* sourceEnd, BlockCopy& copy) {
    if (block + kBlock + kRunLoadReach > sourceEnd) {
        std::fill(copy.begin(), copy.end(), 0);
        std::memcpy(copy.data(), block, std::min(available, kBlock));
        block = copy.data();
    }
    BlockMasks masks = Masks64(block);
    if (available < kBlock) {
        const std::uint64_t inRange = (1ull << available) - 1;
        masks.word &= inRange;
        masks.apostrophes &= inRange;
    }
    return masks;
}

// Where the one bit set in `bit` is.
inline std::size_t BitIndex(std::uint64_t bit) {
    return static_cast<std::size_t>(__builtin_ctzll(bit));
}

}  // namespace wordruns

// Walks the runs of word bytes (letters and apostrophes) of `bytes`, which
// lie in a document that ends at `sourceEnd`, in order, a 64-byte block at a
// time with bit tricks instead of a branch per byte: each run is where a bit
// of `starts` and the next bit of `ends` say. A run is a word by the word
// rule when it holds a letter.
//
// A run shorter than a block goes to shortRun(loadable, run, length,
// apostrophe): `run` is where it lies, `loadable` the same bytes where
// kRunLoadReach bytes from its first can be read (a copy near the end of the
// document), `apostrophe` whether it holds one. A longer run goes to
// longRun(run, length). Inlined, as it is the heart of every scan.
template <typename ShortRun, typename LongRun>
[[gnu::always_inline]] inline void WalkWordRuns(std::span<const std::uint8_t> bytes,
                                                const std::uint8_t* sourceEnd, ShortRun&& shortRun,
                                                LongRun&& longRun) {
    using wordruns::BitIndex;
    const std::uint8_t* base = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t openRun = n;  // start of a run still open at a block's end
    wordruns::BlockCopy copy;
    for (std::size_t at = 0, next = 0; at < n; at = next) {
        next = at + kBlock;
        const std::uint8_t* block = base + at;
        const BlockMasks masks = wordruns::MasksAt(block, n - at, sourceEnd, copy);
        std::uint64_t mask = masks.word;
        if (openRun != n) {
            if (mask == ~0ull) {
                continue;
            }
            const auto bit = static_cast<std::size_t>(std::countr_one(mask));
            longRun(base + openRun, at + bit - openRun);
            openRun = n;
            mask &= ~0ull << bit;
        }
        // A run reaching the block's end is left to the next block, which
        // then begins where the run does; only a run that fills a block is
        // followed from block to block.
        if ((mask >> (kBlock - 1)) != 0) {
            const auto lastStart = kBlock - static_cast<std::size_t>(std::countl_one(mask));
            if (lastStart == 0) {
                openRun = at;
                continue;
            }
            next = at + lastStart;
            mask &= ~(~0ull << lastStart);
        }
        std::uint64_t starts = mask & ~(mask << 1);
        std::uint64_t ends = mask & ~(mask >> 1);
        while (starts != 0) {
            const std::uint64_t startBit = starts & (0 - starts);
            const std::uint64_t endBit = ends & (0 - ends);
            starts ^= startBit;
            ends ^= endBit;
            const std::size_t start = BitIndex(startBit);
            const std::size_t length = BitIndex(endBit) + 1 - start;
            // (endBit << 1) - startBit is the run's bits, wrapping as it should
            // for a run that ends at bit 63
            const bool apostrophe = (masks.apostrophes & ((endBit << 1) - startBit)) != 0;
            shortRun(block + start, base + at + start, length, apostrophe);
        }
    }
    if (openRun != n) {
        longRun(base + openRun, n - openRun);
    }
}

}  // namespace quorvex
