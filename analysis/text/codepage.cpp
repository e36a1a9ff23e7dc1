#include "analysis/text/codepage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quorvex {

namespace {

constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The rest of a two-piece text from `offset` on, one piece at a time.
class PiecewiseText {
  public:
    PiecewiseText(std::string_view first, std::string_view second) : pieces_{first, second} {}
    bool AtEnd() const { return piece_ == 2; }
    std::string_view Current() const { return pieces_[piece_].substr(offset_); }
    void Advance(std::size_t count) {
        offset_ += count;
        while (piece_ < 2 && offset_ == pieces_[piece_].size()) {
            ++piece_;
            offset_ = 0;
        }
    }

  private:
    std::string_view pieces_[2];
    std::size_t piece_ = 0;
    std::size_t offset_ = 0;
};

// Where two byte runs first differ, or `length`: memcmp over blocks, as long
// headings that share most of their text are common.
std::size_t FirstDifference(const char* x, const char* y, std::size_t length) {
    constexpr std::size_t kBlock = 256;
    std::size_t at = 0;
    while (at + kBlock <= length && std::memcmp(x + at, y + at, kBlock) == 0) {
        at += kBlock;
    }
    while (at < length && x[at] == y[at]) {
        ++at;
    }
    return at;
}

}  // namespace

char16_t Windows1252Character(unsigned char byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kHighControls[byte - 0x80] : static_cast<char16_t>(byte);
}

std::u16string DecodeWindows1252(std::string_view bytes) {
    std::u16string text;
    AppendWindows1252(text, bytes, bytes.size());
    return text;
}

std::size_t AppendWindows1252(std::u16string& text, std::string_view bytes, std::size_t limit) {
    const std::size_t count = std::min(limit, bytes.size());
    const std::size_t start = text.size();
    text.resize(start + count);
    for (std::size_t i = 0; i < count; ++i) {
        text[start + i] = Windows1252Character(static_cast<unsigned char>(bytes[i]));
    }
    return count;
}

int CompareWindows1252(std::string_view a1, std::string_view a2, std::string_view b1,
                       std::string_view b2) {
    PiecewiseText a(a1, a2);
    PiecewiseText b(b1, b2);
    a.Advance(0);
    b.Advance(0);
    while (!a.AtEnd() && !b.AtEnd()) {
        const std::string_view x = a.Current();
        const std::string_view y = b.Current();
        const std::size_t common = std::min(x.size(), y.size());
        const std::size_t at = FirstDifference(x.data(), y.data(), common);
        if (at < common) {
            return Windows1252Character(static_cast<unsigned char>(x[at])) <
                           Windows1252Character(static_cast<unsigned char>(y[at]))
                       ? -1
                       : 1;
        }
        a.Advance(common);
        b.Advance(common);
    }
    return a.AtEnd() == b.AtEnd() ? 0 : (a.AtEnd() ? -1 : 1);
}

}  // namespace quorvex
