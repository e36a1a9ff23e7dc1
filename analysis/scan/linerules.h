#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "analysis/words/wordtable.h"

namespace quorvex {

// The line rules: what a line of a document is, which of its bytes are
// scanned for words, and the text a heading line stands for. A line here is
// never empty and holds its line feed, if it has one. The run's scan and the
// occurrence search both follow these, so that they count the same words.

enum class LineKind {
    Heading,  // begins with 'B': names the lines after it, yields no word
    Skipped,  // begins with a space: yields nothing
    Text,
};

inline LineKind KindOfLine(std::span<const std::uint8_t> line) {
    switch (line.front()) {
        case 'B':
            return LineKind::Heading;
        case ' ':
            return LineKind::Skipped;
        default:
            return LineKind::Text;
    }
}

// A text line of eight bytes or more begins with its line reference, which
// is not scanned; a shorter one has none and is scanned whole.
inline bool HasLineRef(std::span<const std::uint8_t> line) {
    return line.size() > kLineRefLength;
}

inline std::string_view LineRefOf(std::span<const std::uint8_t> line) {
    return HasLineRef(line)
               ? std::string_view(reinterpret_cast<const char*>(line.data()), kLineRefLength)
               : std::string_view();
}

inline std::span<const std::uint8_t> ScannedPart(std::span<const std::uint8_t> line) {
    return HasLineRef(line) ? line.subspan(kLineRefLength) : line;
}

// The line without its ending, a line feed or a carriage return and line feed.
inline std::string_view WithoutLineEnding(std::span<const std::uint8_t> line) {
    std::string_view text(reinterpret_cast<const char*>(line.data()), line.size());
    if (text.ends_with("\r\n")) {
        text.remove_suffix(2);
    } else if (text.ends_with('\n')) {
        text.remove_suffix(1);
    }
    return text;
}

// The text a heading line shows wherever a place under it is named: the line
// without its ending, its eighth byte blanked, and two spaces after it. Given
// as the pieces to put one after the other, none of them a copy.
using HeadingTextPieces = std::array<std::string_view, 4>;

inline HeadingTextPieces HeadingTextOf(std::span<const std::uint8_t> line) {
    constexpr std::size_t kBlankedByte = 7;
    constexpr std::string_view kEnd = "  ";
    const std::string_view text = WithoutLineEnding(line);
    if (text.size() <= kBlankedByte) {
        return {text, {}, {}, kEnd};
    }
    return {text.substr(0, kBlankedByte), " ", text.substr(kBlankedByte + 1), kEnd};
}

}  // namespace quorvex
