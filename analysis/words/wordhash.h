#pragma once

#include <cstdint>
#include <string_view>

namespace quorvex {

// The word index's hash functions, drawn afresh for every run from families
// whose collisions no document can aim at without knowing the draw: a
// document made to pile its words onto one slot under one draw spreads out
// under any other. Equal seeds give equal functions, for tests that need to
// reproduce a draw; the results of a run never depend on it.
class WordHash {
  public:
    explicit WordHash(std::uint64_t seed);

    // A seed from the system's source of randomness.
    static std::uint64_t RandomSeed();

    // Words of up to eight letters, packed into one integer: multiply-shift
    // with a random odd multiplier, whose high bits are the good ones.
    std::uint64_t Short(std::uint64_t packed) const { return packed * shortMultiplier_; }

    // Longer words, read eight letters at a time: `chunkAt(i)` gives letters
    // 8i to 8i + 7 packed, the first lowest, zeros after the last. A block of
    // up to 64 letters is hashed by pair-multiply-shift over its 32-bit
    // halves, each place with keys of its own, so that a word costs one
    // multiplication per eight letters; a word longer than a block chains
    // its blocks' hashes through a polynomial modulo 2^61 - 1 at a random
    // point, then multiply-shift.
    template <typename ChunkAt>
    std::uint64_t Long(std::size_t length, const ChunkAt& chunkAt) const {
        const std::size_t chunks = (length + kChunkLetters - 1) / kChunkLetters;
        if (chunks <= kBlockChunks) {
            return BlockHash(chunkAt, 0, chunks);
        }
        std::uint64_t value = length;
        for (std::size_t first = 0; first < chunks; first += kBlockChunks) {
            const std::size_t end = first + kBlockChunks < chunks ? first + kBlockChunks : chunks;
            value = ChainBlock(value, BlockHash(chunkAt, first, end));
        }
        return value * textMultiplier_;
    }

    // Nine to sixteen letters, packed into two integers: the same as above.
    std::uint64_t Long(std::uint64_t prefix, std::uint64_t middle) const {
        return PairProduct(0, prefix) + PairProduct(1, middle) + blockKey_;
    }

  private:
    static constexpr std::size_t kChunkLetters = 8;
    static constexpr std::size_t kBlockChunks = 8;

    std::uint64_t PairProduct(std::size_t place, std::uint64_t chunk) const {
        return (pairKeys_[2 * place] + (chunk >> 32)) *
               (pairKeys_[2 * place + 1] + (chunk & 0xFFFFFFFFu));
    }
    template <typename ChunkAt>
    std::uint64_t BlockHash(const ChunkAt& chunkAt, std::size_t first, std::size_t end) const {
        std::uint64_t sum = blockKey_;
        for (std::size_t i = first; i < end; ++i) {
            sum += PairProduct(i - first, chunkAt(i));
        }
        return sum;
    }
    // The high half of a block's hash is the well-mixed one.
    std::uint64_t ChainBlock(std::uint64_t value, std::uint64_t blockHash) const;

    std::uint64_t shortMultiplier_;
    std::uint64_t pairKeys_[2 * kBlockChunks];
    std::uint64_t blockKey_;
    std::uint64_t polynomialPoint_;
    std::uint64_t textMultiplier_;
};

}  // namespace quorvex
