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

    // Words of nine to sixteen letters, packed into two integers:
    // pair-multiply-shift over their four 32-bit halves.
    std::uint64_t Long(std::uint64_t prefix, std::uint64_t middle) const {
        return (pair_[0] + (prefix >> 32)) * (pair_[1] + (prefix & 0xFFFFFFFFu)) +
               (pair_[2] + (middle >> 32)) * (pair_[3] + (middle & 0xFFFFFFFFu)) + pair_[4];
    }

    // Longer words: a polynomial over their 32-bit pieces modulo 2^61 - 1
    // at a random point, then multiply-shift.
    std::uint64_t Text(std::string_view word) const;

  private:
    std::uint64_t shortMultiplier_;
    std::uint64_t pair_[5];
    std::uint64_t polynomialPoint_;
    std::uint64_t textMultiplier_;
};

}  // namespace quorvex
