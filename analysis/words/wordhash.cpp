#include "analysis/words/wordhash.h"

#include <random>

namespace quorvex {

namespace {

constexpr std::uint64_t kMersenne61 = (std::uint64_t{1} << 61) - 1;

// Spreads one seed over the many random words the functions need.
std::uint64_t SplitMix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t MultiplyMod61(std::uint64_t a, std::uint64_t b) {
    __extension__ using Wide = unsigned __int128;
    const Wide product = static_cast<Wide>(a) * b;
    const std::uint64_t folded = static_cast<std::uint64_t>(product & kMersenne61) +
                                 static_cast<std::uint64_t>(product >> 61);
    return folded >= kMersenne61 ? folded - kMersenne61 : folded;
}

}  // namespace

WordHash::WordHash(std::uint64_t seed) {
    shortMultiplier_ = SplitMix64(seed) | 1;
    for (std::uint64_t& value : pairKeys_) {
        value = SplitMix64(seed);
    }
    blockKey_ = SplitMix64(seed);
    polynomialPoint_ = 1 + SplitMix64(seed) % (kMersenne61 - 1);
    textMultiplier_ = SplitMix64(seed) | 1;
}

std::uint64_t WordHash::RandomSeed() {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

// Pieces of 32 bits stay below the modulus, so distinct sequences of block
// hashes are distinct polynomials, which agree at a random point only with
// tiny probability.
std::uint64_t WordHash::ChainBlock(std::uint64_t value, std::uint64_t blockHash) const {
    value = MultiplyMod61(value, polynomialPoint_) + (blockHash >> 32);
    return value >= kMersenne61 ? value - kMersenne61 : value;
}

}  // namespace quorvex
