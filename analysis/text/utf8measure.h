#pragma once

#include <cstdint>
#include <string_view>

namespace quorvex {

// The characters a cell loses at its ends when it is copied: spaces, and the
// tabs and line breaks that become spaces in a copy.
bool IsBlank(char16_t c);

// How many bytes a text takes in UTF-8, and how many of them are blanks at
// its ends. The measures of two texts add up to the measure of the one
// followed by the other, so a cell made of pieces is measured piece by piece
// without being made.
class Utf8Measure {
  public:
    Utf8Measure() = default;

    // A surrogate counts two bytes, so a pair counts the four it encodes to.
    static Utf8Measure OfUtf16(std::u16string_view text);
    // Document bytes read as Windows-1252, as DecodeWindows1252 reads them.
    static Utf8Measure OfWindows1252(std::string_view bytes);

    std::uint64_t Bytes() const { return bytes_; }
    // The bytes left once the blanks at both ends are taken off.
    std::uint64_t TrimmedBytes() const {
        return IsAllBlank() ? 0 : bytes_ - leadingBlanks_ - trailingBlanks_;
    }

    friend Utf8Measure operator+(const Utf8Measure& first, const Utf8Measure& second);

  private:
    Utf8Measure(std::uint64_t bytes, std::uint64_t leadingBlanks, std::uint64_t trailingBlanks)
        : bytes_(bytes), leadingBlanks_(leadingBlanks), trailingBlanks_(trailingBlanks) {}

    // An empty text counts as all blank, so that it adds nothing to either end.
    bool IsAllBlank() const { return leadingBlanks_ == bytes_; }

    std::uint64_t bytes_ = 0;
    std::uint64_t leadingBlanks_ = 0;
    std::uint64_t trailingBlanks_ = 0;
};

}  // namespace quorvex
