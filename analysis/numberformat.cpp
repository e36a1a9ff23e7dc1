#include "analysis/numberformat.h"

#include <cstdio>

namespace quorvex {

namespace {

std::u16string Widen(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string GroupDigits(std::string_view digits, const std::u16string& thousands) {
    std::u16string text;
    text.reserve(digits.size() + (digits.size() / 3) * thousands.size());
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += thousands;
        }
        text += static_cast<char16_t>(digits[i]);
    }
    return text;
}

}  // namespace

std::u16string FormatDigits(std::int64_t value) {
    return Widen(std::to_string(value));
}

std::u16string FormatGrouped(std::int64_t value, const NumberSeparators& separators) {
    const std::string digits = std::to_string(value);
    std::string_view magnitude(digits);
    std::u16string text;
    if (magnitude.starts_with('-')) {
        magnitude.remove_prefix(1);
        text.push_back(u'-');
    }
    text += GroupDigits(magnitude, separators.thousands);
    return text;
}

std::u16string FormatSeconds(double seconds, const NumberSeparators& separators) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.8f", seconds);
    std::string_view text(buffer);
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

std::u16string FixedWidth(std::u16string_view text, std::size_t width) {
    const std::size_t length = CharacterCount(text);
    std::u16string padded(length < width ? width - length : 0, u' ');
    padded += text;
    return padded;
}

}  // namespace quorvex
