#pragma once

#include <string>
#include <string_view>

namespace quorvex {

// Document bytes as text, one character per byte, read as Windows-1252. The
// five bytes that code page leaves undefined keep their own code points, as
// Windows itself maps them.
std::u16string DecodeWindows1252(std::string_view bytes);

// The character one byte stands for, as above.
char16_t Windows1252Character(unsigned char byte);

// Decodes at most `limit` bytes more onto the end of `text`; returns how many
// characters it added.
std::size_t AppendWindows1252(std::u16string& text, std::string_view bytes, std::size_t limit);

// Compares the texts of two byte sequences, each given in two pieces, by
// code point. Every byte stands for its own character, so the first byte
// that differs decides, and it is found at the speed of memcmp.
int CompareWindows1252(std::string_view a1, std::string_view a2, std::string_view b1,
                       std::string_view b2);

}  // namespace quorvex
