#pragma once

#include <cstddef>
#include <cstdint>

#include "analysis/scan/wordrule.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvex {

// The shortcuts that find words a block of bytes at a time rest on three
// facts about the word rule: the letters of each case are one run of byte
// values, a letter folds by setting one bit, and the apostrophe is the only
// byte dropped, which that bit leaves as it is.
inline constexpr std::uint8_t kCaseBit = 0x20;
inline constexpr std::uint8_t kFirstLetter = 'a';
inline constexpr std::uint8_t kLetterCount = 26;

constexpr bool IsLetterByRange(std::uint8_t byte) {
    return static_cast<std::uint8_t>((byte | kCaseBit) - kFirstLetter) < kLetterCount;
}

constexpr bool WordRuleFitsTheShortcuts() {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const std::uint8_t rule = kWordRule[byte];
        const bool letter = rule != kSeparator && rule != kDeleted;
        if (letter != IsLetterByRange(byte) || (letter && rule != (byte | kCaseBit)) ||
            (rule == kDeleted) != (byte == kDeleted)) {
            return false;
        }
    }
    return (kDeleted | kCaseBit) == kDeleted;
}
static_assert(WordRuleFitsTheShortcuts());

inline constexpr std::size_t kBlock = 64;

// One bit per byte of a 64-byte block: `word` for a letter of either case or
// an apostrophe, `apostrophes` for an apostrophe.
struct BlockMasks {
    std::uint64_t word = 0;
    std::uint64_t apostrophes = 0;
};

// Byte by byte from the word rule's table: what a processor without SSE2
// runs.
inline BlockMasks PortableMasks64(const std::uint8_t* p) {
    BlockMasks masks;
    for (std::size_t i = 0; i < kBlock; ++i) {
        const std::uint8_t rule = kWordRule[p[i]];
        masks.word |= std::uint64_t{rule != kSeparator} << i;
        masks.apostrophes |= std::uint64_t{rule == kDeleted} << i;
    }
    return masks;
}

#if defined(__SSE2__)
inline BlockMasks Sse2Masks16(const std::uint8_t* p) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // IsLetterByRange as a signed compare: shifted so that the letters land
    // on the lowest signed values.
    const __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(kCaseBit));
    const __m128i shifted =
        _mm_add_epi8(folded, _mm_set1_epi8(static_cast<char>(128 - kFirstLetter)));
    const __m128i letter =
        _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + kLetterCount)));
    const __m128i apostrophe = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(kDeleted)));
    return {static_cast<std::uint64_t>(_mm_movemask_epi8(_mm_or_si128(letter, apostrophe))),
            static_cast<std::uint64_t>(_mm_movemask_epi8(apostrophe))};
}

inline BlockMasks Sse2Masks64(const std::uint8_t* p) {
    BlockMasks masks;
    for (int part = 0; part < 4; ++part) {
        const BlockMasks quarter = Sse2Masks16(p + 16 * part);
        masks.word |= quarter.word << (16 * part);
        masks.apostrophes |= quarter.apostrophes << (16 * part);
    }
    return masks;
}
#endif

// The masks the program uses: SSE2's wherever the processor has it, as every
// x86-64 processor does.
inline BlockMasks Masks64(const std::uint8_t* p) {
#if defined(__SSE2__)
    return Sse2Masks64(p);
#else
    return PortableMasks64(p);
#endif
}

}  // namespace quorvex
