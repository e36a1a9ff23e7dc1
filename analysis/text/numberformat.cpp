#include "analysis/text/numberformat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <iterator>

namespace quorvex {

namespace {

constexpr int kSecondsDecimals = 8;

std::u16string Widen(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// The decimal digits of a magnitude in ASCII, worked out here rather than by
// the C library, whose locale may bring its own digits or separators.
std::u16string Digits(std::uint64_t magnitude) {
    char16_t buffer[20];
    char16_t* first = std::end(buffer);
    do {
        *--first = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    return std::u16string(first, std::end(buffer));
}

// The most negative value has no positive counterpart, so the magnitude is
// taken in unsigned arithmetic.
std::uint64_t Magnitude(std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    return value < 0 ? 0 - bits : bits;
}

std::u16string Sign(std::int64_t value) {
    return value < 0 ? u"-" : u"";
}

std::u16string GroupDigits(std::u16string_view digits, const std::u16string& thousands) {
    std::u16string text;
    text.reserve(digits.size() + (digits.size() / 3) * thousands.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += thousands;
        }
        text += digits[i];
    }
    return text;
}

std::size_t SignSize(std::int64_t value) {
    return value < 0 ? 1 : 0;
}

constexpr std::array<std::uint64_t, 20> kPowersOfTen = [] {
    std::array<std::uint64_t, 20> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) {
        powers[i] = powers[i - 1] * 10;
    }
    return powers;
}();

// Without a division per digit: the bit width times 1233 / 4096, a shade
// under log10(2), gives the digits or one digit fewer, and one comparison
// with a power of ten tells which.
std::size_t DigitCount(std::uint64_t magnitude) {
    const std::uint64_t atLeastOne = magnitude | 1;  // 0 has a digit as 1 does
    const auto guess = static_cast<std::size_t>((std::bit_width(atLeastOne) * 1233) >> 12);
    return guess + (atLeastOne < kPowersOfTen[guess] ? 0 : 1);
}

}  // namespace

std::size_t DigitsSize(std::int64_t value) {
    return SignSize(value) + DigitCount(Magnitude(value));
}

std::size_t GroupedSize(std::int64_t value, std::size_t thousandsSize) {
    const std::size_t digits = DigitCount(Magnitude(value));
    return SignSize(value) + digits + (digits - 1) / 3 * thousandsSize;
}

std::u16string FormatDigits(std::int64_t value) {
    std::u16string text = Sign(value);
    text += Digits(Magnitude(value));
    return text;
}

std::u16string FormatGrouped(std::int64_t value, const NumberSeparators& separators) {
    std::u16string text = Sign(value);
    text += GroupDigits(Digits(Magnitude(value)), separators.thousands);
    return text;
}

// std::to_chars writes the exact binary value rounded to eight decimals, half
// to even, in ASCII with a full stop whatever the C library's locale says.
std::u16string FormatSeconds(double seconds, const NumberSeparators& separators) {
    // Room for the largest double in fixed notation: 309 digits, the sign,
    // the point and the decimals.
    char buffer[330];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), seconds,
                                       std::chars_format::fixed, kSecondsDecimals);
    std::string_view text(buffer, written.ptr);
    if (!std::isfinite(seconds)) {
        return Widen(text);
    }
    const bool negative = text.starts_with('-');
    if (negative) {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = text.substr(point + 1);
    if (whole == "0") {
        whole = {};
    }
    while (fraction.size() > 1 && fraction.back() == '0') {
        fraction.remove_suffix(1);
    }
    std::u16string result = negative ? u"-" : u"";
    result += Widen(whole);
    result += separators.decimal;
    result += Widen(fraction);
    return result;
}

std::size_t CharacterCount(std::u16string_view text) {
    std::size_t count = 0;
    for (const char16_t unit : text) {
        if (unit < 0xDC00 || unit > 0xDFFF) {
            ++count;
        }
    }
    return count;
}

// Made in one allocation: every count and row number of a list comes here.
std::u16string FixedWidth(std::u16string_view text, std::size_t width) {
    const std::size_t length = CharacterCount(text);
    const std::size_t padding = length < width ? width - length : 0;
    std::u16string padded;
    padded.reserve(padding + text.size());
    padded.append(padding, u' ');
    padded += text;
    return padded;
}

std::size_t ColumnWidth(std::size_t standardWidth, std::u16string_view longestText) {
    return std::max(standardWidth, CharacterCount(longestText));
}

}  // namespace quorvex
