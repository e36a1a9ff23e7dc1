#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quorvex {

// Some ASCII characters: one byte each in UTF-8, and the same byte in
// Windows-1252.
class AsciiSet {
  public:
    constexpr AsciiSet() = default;
    constexpr explicit AsciiSet(std::u16string_view members) {
        for (const char16_t c : members) {
            bits_[c >> 6] |= std::uint64_t{1} << (c & 63);
        }
    }
    constexpr bool Has(char16_t c) const { return c < 128 && (bits_[c >> 6] >> (c & 63) & 1) != 0; }
    constexpr bool HasAnyOf(std::u16string_view text) const {
        for (const char16_t c : text) {
            if (Has(c)) {
                return true;
            }
        }
        return false;
    }

  private:
    std::array<std::uint64_t, 2> bits_{};
};

// How many bytes a text takes in UTF-8, and how many of them are, at its
// ends, characters of a set its measurer chose (the ends' characters). The
// measures of two texts, taken with the same set, add up to the measure of
// the one followed by the other, so a cell made of pieces is measured piece
// by piece without being made.
class Utf8Measure {
  public:
    Utf8Measure() = default;

    // A surrogate counts two bytes, so a pair counts the four it encodes to.
    static Utf8Measure OfUtf16(std::u16string_view text, const AsciiSet& ends);
    // Document bytes read as Windows-1252, as DecodeWindows1252 reads them.
    static Utf8Measure OfWindows1252(std::string_view bytes, const AsciiSet& ends);

    std::uint64_t Bytes() const { return bytes_; }
    // The bytes left once the ends' characters are taken off both ends.
    std::uint64_t BytesBetweenEnds() const {
        return IsAllEnds() ? 0 : bytes_ - leadingEnds_ - trailingEnds_;
    }

    friend Utf8Measure operator+(const Utf8Measure& first, const Utf8Measure& second);

  private:
    Utf8Measure(std::uint64_t bytes, std::uint64_t leadingEnds, std::uint64_t trailingEnds)
        : bytes_(bytes), leadingEnds_(leadingEnds), trailingEnds_(trailingEnds) {}

    // An empty text counts as all ends, so that it adds nothing to either end.
    bool IsAllEnds() const { return leadingEnds_ == bytes_; }

    std::uint64_t bytes_ = 0;
    std::uint64_t leadingEnds_ = 0;
    std::uint64_t trailingEnds_ = 0;
};

}  // namespace quorvex
