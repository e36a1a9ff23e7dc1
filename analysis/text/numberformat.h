#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// Every text here is made of ASCII digits and the separators handed in; the
// C library's locale, which Qt sets from the user's, plays no part.
//
// The user's separators, handed in by whoever knows the locale. Either may be
// any character, so widths are counted in characters, never in code units.
struct NumberSeparators {
    std::u16string thousands = u",";
    std::u16string decimal = u".";
};

// "###,###,###,##0" (and "###,###,##0", which gives the same text): all the
// digits, grouped in threes from the right.
std::u16string FormatGrouped(std::int64_t value, const NumberSeparators& separators);

// "##0": the plain decimal digits.
std::u16string FormatDigits(std::int64_t value);

// The sizes of FormatDigits(value) and of FormatGrouped(value, ...), worked
// out without the texts, in UTF-8 bytes or in characters alike (a digit or a
// sign is one of each); `thousandsSize` is the thousands separator's size in
// the same unit.
std::size_t DigitsSize(std::int64_t value);
std::size_t GroupedSize(std::int64_t value, std::size_t thousandsSize);

// "###.0#######": no leading zero, one to eight decimals, rounded half to
// even from the exact value of `seconds`.
std::u16string FormatSeconds(double seconds, const NumberSeparators& separators);

// The number of characters in a text (a surrogate pair is one character).
std::size_t CharacterCount(std::u16string_view text);

// `text` padded on the left with spaces to `width` characters. A longer text
// is returned whole: callers widen the column instead of cutting digits.
std::u16string FixedWidth(std::u16string_view text, std::size_t width);

// The widths counts and row numbers are padded to.
inline constexpr std::size_t kCountWidth = 12;
inline constexpr std::size_t kOrderWidth = 8;

// A fixed-width column grows, for all its rows alike, when its longest text
// would not fit: numbers are never cut, and text order stays numeric order.
std::size_t ColumnWidth(std::size_t standardWidth, std::u16string_view longestText);

}  // namespace quorvex
