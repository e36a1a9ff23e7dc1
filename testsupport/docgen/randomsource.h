#pragma once

#include <bit>
#include <cstdint>

namespace quorvex::docgen {

// xoshiro256** seeded through splitmix64. The standard library's engines are
// portable but its distributions are not, so every draw a generator makes
// goes through these few lines, and a seed gives the same document anywhere.
class RandomSource {
  public:
    explicit RandomSource(std::uint64_t seed) {
        for (std::uint64_t& word : state_) {
            seed += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            word = z ^ (z >> 31);
        }
    }

    std::uint64_t Next() {
        const std::uint64_t result = std::rotl(state_[1] * 5, 7) * 9;
        const std::uint64_t shifted = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= shifted;
        state_[3] = std::rotl(state_[3], 45);
        return result;
    }

    // Uniform in [0, bound) for bound >= 1, by multiply and shift; the bias
    // of under 2^-32 does not matter for made-up text.
    std::uint32_t Below(std::uint32_t bound) {
        return static_cast<std::uint32_t>(((Next() >> 32) * bound) >> 32);
    }

    // Uniform in [low, high].
    std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
        return low + Below(high - low + 1);
    }

    bool OneIn(std::uint32_t n) { return Below(n) == 0; }

  private:
    std::uint64_t state_[4];
};

}  // namespace quorvex::docgen
