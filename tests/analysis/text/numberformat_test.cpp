#include "analysis/text/numberformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <random>
#include <string_view>
#include <utility>

#include "tests/analysis/analysistesting.h"
#include "tests/analysis/clibrarylocale.h"

namespace quorvex::test {
namespace {

const NumberSeparators kEnglish{u",", u"."};
const NumberSeparators kNoBreakSpace{u"\u00A0", u","};
const NumberSeparators kNarrowNoBreakSpace{u"\u202F", u","};
// A separator outside the basic plane takes two code units but is one character.
const NumberSeparators kAstral{u"\U0001D30D", u"\U0001D30E"};
// Arabic's separators, and separators of more than one character.
const NumberSeparators kArabic{u"\u066C", u"\u066B"};
const NumberSeparators kLong{u"'\u00A0", u"<>"};

// The C library's locale must change no number text, so every case runs in
// the "C" locale and in two that write decimals with a comma. A locale that is
// not installed fails the case: the comparison would prove nothing.
struct CLocaleCase {
    const char* name;
    const char* decimalPoint;
};

void PrintTo(const CLocaleCase& locale, std::ostream* out) {
    *out << locale.name;
}

class NumberFormat : public ::testing::TestWithParam<CLocaleCase> {
  protected:
    void SetUp() override {
        ASSERT_EQ(CLibraryLocale::DecimalPoint(), GetParam().decimalPoint)
            << "the C library has no locale " << GetParam().name
            << " (scripts/install-dependencies installs locales-all)";
    }

  private:
    CLibraryLocale locale_{GetParam().name};
};

INSTANTIATE_TEST_SUITE_P(InLocale, NumberFormat,
                         ::testing::Values(CLocaleCase{"C", "."}, CLocaleCase{"de_DE.UTF-8", ","},
                                           CLocaleCase{"fr_FR.UTF-8", ","}),
                         [](const auto& info) {
                             return std::string(info.param.name).substr(0, 5);
                         });

// Wide enough for a 53-bit mantissa times 10^8.
__extension__ using Wide = unsigned __int128;

// The time in hundred-millionths of a second, rounded half to even, worked out
// in integers from the double's mantissa and exponent: seconds = m / 2^shift.
Wide ExactUnits(double seconds) {
    int exponent = 0;
    const double mantissa = std::frexp(seconds, &exponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    const int shift = 53 - exponent;
    const Wide scaled = static_cast<Wide>(m) * 100'000'000u;
    if (shift <= 0) {
        return scaled << -shift;
    }
    if (shift >= 100) {
        return 0;  // below 2^-47 s: far less than half a unit
    }
    const Wide quotient = scaled >> shift;
    const Wide remainder = scaled - (quotient << shift);
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    return quotient + ((remainder > half || (remainder == half && (quotient & 1))) ? 1 : 0);
}

std::string DecimalDigits(std::uint64_t value, std::size_t width) {
    std::string digits;
    for (; value != 0 || digits.size() < width; value /= 10) {
        digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
    }
    return digits;
}

// "###.0#######" of a time below 2^53 s, from its exact units.
std::string ModelSecondsText(double seconds) {
    const Wide units = ExactUnits(seconds);
    const auto whole = static_cast<std::uint64_t>(units / 100'000'000u);
    std::string fraction = DecimalDigits(static_cast<std::uint64_t>(units % 100'000'000u), 8);
    while (fraction.size() > 1 && fraction.back() == '0') {
        fraction.pop_back();
    }
    return (whole == 0 ? "" : DecimalDigits(whole, 1)) + "." + fraction;
}

// Times of every size, exact halves of the last decimal and the doubles
// nearest to eight-decimal values and to the halves between them.
std::vector<double> AwkwardTimes() {
    std::mt19937_64 random(20240610);
    std::vector<double> times;
    for (int i = 0; i < 4000; ++i) {
        const std::uint64_t mantissa = (random() >> 11) | (std::uint64_t{1} << 52);
        const int exponent = static_cast<int>(random() % 70) - 102;
        times.push_back(std::ldexp(static_cast<double>(mantissa), exponent));
        const std::uint64_t units = random() % 100'000'000'000u;
        times.push_back(static_cast<double>(units) / 1e8);
        times.push_back((static_cast<double>(units) + 0.5) / 1e8);
        times.push_back(static_cast<double>(2 * (random() % 1'000'000) + 1) / 512);
    }
    return times;
}

TEST_P(NumberFormat, GroupsDigitsInThreesFromTheRight) {
    const std::pair<std::int64_t, std::string_view> cases[] = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1,000"},
        {32, "32"},
        {100200, "100,200"},
        {1234567, "1,234,567"},
        {2147483647, "2,147,483,647"},
        {9223372036854775807, "9,223,372,036,854,775,807"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(Utf8(FormatGrouped(value, kEnglish)), text) << value;
    }
}

TEST_P(NumberFormat, GroupsAndSecondsWithTheSeparatorsHandedIn) {
    struct Case {
        NumberSeparators separators;
        std::int64_t count;
        std::u16string_view grouped;
        double seconds;
        std::u16string_view secondsText;
    };
    const Case cases[] = {{kNoBreakSpace, 1234567, u"1\u00A0234\u00A0567", 1.5, u"1,5"},
                          {kNarrowNoBreakSpace, 1234567, u"1\u202F234\u202F567", 0.25, u",25"},
                          {kAstral, 1000, u"1\U0001D30D000", 2, u"2\U0001D30E0"},
                          {kArabic, 1234567, u"1\u066C234\u066C567", 0.25, u"\u066B25"},
                          {kLong, 1234567, u"1'\u00A0234'\u00A0567", 12.5, u"12<>5"},
                          {kNarrowNoBreakSpace, 999, u"999", 86399.99999999, u"86399,99999999"}};
    for (const Case& c : cases) {
        EXPECT_EQ(FormatGrouped(c.count, c.separators), c.grouped) << c.count;
        EXPECT_EQ(FormatSeconds(c.seconds, c.separators), c.secondsText) << c.seconds;
    }
}

TEST_P(NumberFormat, PlainDigits) {
    EXPECT_EQ(FormatDigits(0), u"0");
    EXPECT_EQ(FormatDigits(65), u"65");
    EXPECT_EQ(FormatDigits(255), u"255");
    EXPECT_EQ(FormatDigits(123456789), u"123456789");
    EXPECT_EQ(FormatDigits(-9223372036854775807 - 1), u"-9223372036854775808");
    EXPECT_EQ(FormatGrouped(-1234567, kNarrowNoBreakSpace), u"-1\u202F234\u202F567");
}

// At every change in the number of digits, both signs, every separator.
TEST_P(NumberFormat, SizesAreThoseOfTheTexts) {
    // The largest power of ten an int64 holds; one more step would overflow.
    constexpr std::int64_t kLargestPower = 1'000'000'000'000'000'000;
    for (std::int64_t power = 1;; power *= 10) {
        for (const std::int64_t value : {power - 1, power, -power, -power + 1}) {
            EXPECT_EQ(DigitsSize(value), Utf8(FormatDigits(value)).size()) << value;
            for (const NumberSeparators& separators : {kEnglish, kAstral, kLong}) {
                const std::u16string grouped = FormatGrouped(value, separators);
                EXPECT_EQ(GroupedSize(value, Utf8(separators.thousands).size()),
                          Utf8(grouped).size())
                    << value;
                EXPECT_EQ(GroupedSize(value, CharacterCount(separators.thousands)),
                          CharacterCount(grouped))
                    << value;
            }
        }
        if (power == kLargestPower) {
            break;
        }
    }
}

TEST_P(NumberFormat, SecondsHaveNoLeadingZeroAndOneToEightDecimals) {
    const std::pair<double, std::string_view> cases[] = {
        {1.5, "1.5"},        {0.25, ".25"},   {2, "2.0"},          {0, ".0"},
        {1234.5, "1234.5"},  {0.125, ".125"}, {0.000000004, ".0"}, {0.123456789, ".12345679"},
        {0.999999999, "1.0"}};
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(Utf8(FormatSeconds(seconds, kEnglish)), text) << seconds;
    }
}

TEST_P(NumberFormat, SecondsAreRoundedExactlyHalfToEven) {
    // 1/512 and 3/512 s lie exactly halfway between two eight-decimal values.
    EXPECT_EQ(Utf8(FormatSeconds(1.0 / 512, kEnglish)), ".00195312");
    EXPECT_EQ(Utf8(FormatSeconds(3.0 / 512, kEnglish)), ".00585938");
    for (const double seconds : AwkwardTimes()) {
        ASSERT_EQ(Utf8(FormatSeconds(seconds, kEnglish)), ModelSecondsText(seconds))
            << "for " << std::setprecision(17) << seconds << " s";
    }
}

TEST_P(NumberFormat, FixedWidthCountsCharactersNotCodeUnits) {
    EXPECT_EQ(FixedWidth(u"0", 12), u"           0");
    EXPECT_EQ(FixedWidth(u"7", 8), u"       7");
    EXPECT_EQ(FixedWidth(u"1,234,567", 12), u"   1,234,567");
    EXPECT_EQ(FixedWidth(FormatGrouped(1234567, kNarrowNoBreakSpace), 12),
              u"   1\u202F234\u202F567");
    const std::u16string astral = FormatGrouped(1234567, kAstral);
    EXPECT_EQ(CharacterCount(astral), 9u);
    EXPECT_EQ(FixedWidth(astral, 12), u"   " + astral);
    EXPECT_EQ(FixedWidth(u"999,999,999", 12), u" 999,999,999");
    EXPECT_EQ(FixedWidth(FormatGrouped(1234, kLong), 12), u"      1'\u00A0234");
}

TEST_P(NumberFormat, FixedWidthNeverCutsALongerText) {
    EXPECT_EQ(FixedWidth(u"1,000,000,000", 12), u"1,000,000,000");
    EXPECT_EQ(FixedWidth(u"123456789", 8), u"123456789");
    EXPECT_EQ(FixedWidth(u"12345678", 8), u"12345678");
}

}  // namespace
}  // namespace quorvex::test
