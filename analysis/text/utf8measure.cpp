#include "analysis/text/utf8measure.h"

#include <array>
#include <type_traits>

#include "analysis/text/codepage.h"

namespace quorvex {

namespace {

std::uint64_t Utf8Bytes(char16_t unit) {
    const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
    return unit < 0x80 ? 1 : (unit < 0x800 || surrogate) ? 2 : 3;
}

// The UTF-8 size of the character each byte stands for.
const std::array<std::uint8_t, 256> kWindows1252Utf8Bytes = [] {
    std::array<std::uint8_t, 256> sizes{};
    for (std::size_t byte = 0; byte < sizes.size(); ++byte) {
        sizes[byte] = static_cast<std::uint8_t>(
            Utf8Bytes(Windows1252Character(static_cast<unsigned char>(byte))));
    }
    return sizes;
}();

struct Counts {
    std::uint64_t bytes;
    std::uint64_t leadingEnds;
    std::uint64_t trailingEnds;
};

// The ends' characters are ASCII, one byte in UTF-8 whatever the text was
// encoded in, so the ends are found by characters and counted as bytes.
template <typename Text, typename BytesOf>
Counts CountBytes(Text text, const AsciiSet& ends, const BytesOf& bytesOf) {
    const auto isEnd = [&ends](auto c) {
        return ends.Has(static_cast<char16_t>(static_cast<std::make_unsigned_t<decltype(c)>>(c)));
    };
    std::size_t first = 0;
    while (first < text.size() && isEnd(text[first])) {
        ++first;
    }
    if (first == text.size()) {
        return {first, first, first};
    }
    std::size_t end = text.size();
    while (isEnd(text[end - 1])) {
        --end;
    }
    std::uint64_t bytes = first + (text.size() - end);
    for (std::size_t at = first; at < end; ++at) {
        bytes += bytesOf(text[at]);
    }
    return {bytes, first, text.size() - end};
}

}  // namespace

Utf8Measure Utf8Measure::OfUtf16(std::u16string_view text, const AsciiSet& ends) {
    const Counts counts = CountBytes(text, ends, Utf8Bytes);
    return {counts.bytes, counts.leadingEnds, counts.trailingEnds};
}

Utf8Measure Utf8Measure::OfWindows1252(std::string_view bytes, const AsciiSet& ends) {
    const Counts counts = CountBytes(bytes, ends, [](char byte) {
        return kWindows1252Utf8Bytes[static_cast<unsigned char>(byte)];
    });
    return {counts.bytes, counts.leadingEnds, counts.trailingEnds};
}

Utf8Measure operator+(const Utf8Measure& first, const Utf8Measure& second) {
    return {first.bytes_ + second.bytes_,
            first.IsAllEnds() ? first.bytes_ + second.leadingEnds_ : first.leadingEnds_,
            second.IsAllEnds() ? second.bytes_ + first.trailingEnds_ : second.trailingEnds_};
}

}  // namespace quorvex
