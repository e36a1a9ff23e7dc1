#pragma once

#include <string>
#include <string_view>

namespace quorvex {

// Document bytes as text, one character per byte, read as Windows-1252. The
// five bytes that code page leaves undefined keep their own code points, as
// Windows itself maps them.
std::u16string DecodeWindows1252(std::string_view bytes);

}  // namespace quorvex
