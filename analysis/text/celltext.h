#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

// A cell's text as a TextTable holds it: one byte a character (Latin-1) while
// every text of the table fits that, two bytes (UTF-16) otherwise. Either way
// the characters are the same code points, and compare as such.
class CellText {
  public:
    CellText() = default;
    explicit CellText(std::string_view latin1) : narrow_(latin1.data()), size_(latin1.size()) {}
    explicit CellText(std::u16string_view utf16) : wide_(utf16.data()), size_(utf16.size()) {}

    std::size_t size() const { return size_; }
    bool IsWide() const { return wide_ != nullptr; }
    std::string_view Latin1() const { return {narrow_, narrow_ ? size_ : 0}; }
    std::u16string_view Utf16() const { return {wide_, wide_ ? size_ : 0}; }
    char16_t operator[](std::size_t at) const {
        return wide_ ? wide_[at] : static_cast<char16_t>(static_cast<unsigned char>(narrow_[at]));
    }

    std::u16string ToU16String() const;

    // Ordinal: code point by code point, a prefix first.
    friend int CompareOrdinal(const CellText& a, const CellText& b);
    friend bool operator==(const CellText& a, const CellText& b) {
        return CompareOrdinal(a, b) == 0;
    }

  private:
    const char* narrow_ = nullptr;
    const char16_t* wide_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace quorvex
