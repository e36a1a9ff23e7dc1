#pragma once

#include <array>
#include <cstdint>

namespace quorvex {

// What the character map turns a byte into, besides the letters a to z.
inline constexpr std::uint8_t kSeparator = 32;
inline constexpr std::uint8_t kDeleted = 39;

// The word rule, byte by byte: a letter of either case becomes the small
// letter, the apostrophe stays itself and is dropped from its word, and
// every other byte separates words. The character map a run starts from and
// the scanner's shortcuts both come from this one table.
constexpr std::array<std::uint8_t, 256> MakeWordRule() {
    std::array<std::uint8_t, 256> rule{};
    rule.fill(kSeparator);
    rule[kDeleted] = kDeleted;
    for (int small = 'a'; small <= 'z'; ++small) {
        rule[small] = static_cast<std::uint8_t>(small);
        rule[small - 'a' + 'A'] = static_cast<std::uint8_t>(small);
    }
    return rule;
}

inline constexpr std::array<std::uint8_t, 256> kWordRule = MakeWordRule();

}  // namespace quorvex
