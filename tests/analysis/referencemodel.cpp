#include "tests/analysis/referencemodel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace quorvex::test {

namespace {

constexpr std::int64_t kDrawAfterBytes = 1000;

struct StoredWord {
    std::string text;
    std::int64_t hits = 0;
    std::string firstOccurs;
};

// Windows-1252 code points of the bytes 0x80 to 0x9F that are not the byte
// value itself; every other byte keeps its value.
const std::map<int, char32_t>& Windows1252HighControls() {
    static const std::map<int, char32_t> table = {
        {0x80, 0x20AC}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E}, {0x85, 0x2026},
        {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030}, {0x8A, 0x0160},
        {0x8B, 0x2039}, {0x8C, 0x0152}, {0x8E, 0x017D}, {0x91, 0x2018}, {0x92, 0x2019},
        {0x93, 0x201C}, {0x94, 0x201D}, {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014},
        {0x98, 0x02DC}, {0x99, 0x2122}, {0x9A, 0x0161}, {0x9B, 0x203A}, {0x9C, 0x0153},
        {0x9E, 0x017E}, {0x9F, 0x0178},
    };
    return table;
}

std::string BytesAsText(std::string_view bytes) {
    std::u16string text;
    for (const char c : bytes) {
        const int b = static_cast<unsigned char>(c);
        const auto found = Windows1252HighControls().find(b);
        text += found == Windows1252HighControls().end() ? static_cast<char16_t>(b)
                                                         : static_cast<char16_t>(found->second);
    }
    return Utf8(text);
}

std::size_t CharactersIn(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Group by group from the left, each after the ones above it.
std::string GroupedMagnitude(std::uint64_t magnitude, std::string_view thousands) {
    if (magnitude < 1000) {
        return std::to_string(magnitude);
    }
    char group[4];
    std::snprintf(group, sizeof group, "%03d", static_cast<int>(magnitude % 1000));
    return GroupedMagnitude(magnitude / 1000, thousands).append(thousands) + group;
}

// The decimal digits of mantissa * 2^exponent, by doubling in base 10^9.
std::string IntegerDigits(std::uint64_t mantissa, int exponent) {
    constexpr std::uint32_t kBase = 1'000'000'000;
    std::vector<std::uint32_t> limbs{static_cast<std::uint32_t>(mantissa % kBase),
                                     static_cast<std::uint32_t>(mantissa / kBase % kBase),
                                     static_cast<std::uint32_t>(mantissa / kBase / kBase)};
    for (int i = 0; i < exponent; ++i) {
        std::uint32_t carry = 0;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t doubled = std::uint64_t{limb} * 2 + carry;
            limb = static_cast<std::uint32_t>(doubled % kBase);
            carry = static_cast<std::uint32_t>(doubled / kBase);
        }
        if (carry != 0) {
            limbs.push_back(carry);
        }
    }
    while (limbs.size() > 1 && limbs.back() == 0) {
        limbs.pop_back();
    }
    std::string digits = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        char group[10];
        std::snprintf(group, sizeof group, "%09u", limbs[i]);
        digits += group;
    }
    return digits;
}

// Gives a row these texts, in the memory a former run left in it.
template <typename... Text>
void SetRow(std::vector<std::string>& row, Text&&... texts) {
    row.resize(sizeof...(texts));
    std::size_t column = 0;
    ((row[column++] = std::forward<Text>(texts)), ...);
}

// Pads every text of a column to the same number of characters: at least
// `standardWidth`, more when the longest text needs it.
void AlignRight(Rows& rows, std::size_t column, std::size_t standardWidth) {
    std::size_t width = standardWidth;
    for (const auto& row : rows) {
        width = std::max(width, CharactersIn(row[column]));
    }
    for (auto& row : rows) {
        row[column].insert(0, width - CharactersIn(row[column]), ' ');
    }
}

class ReferenceModel {
  public:
    ReferenceModel(std::string_view document, const NumberSeparators& separators, ReferenceRun& run)
        : document_(document),
          thousands_(Utf8(separators.thousands)),
          charMap_(BuildCharMap()),
          run_(run) {}

    void Run(std::u16string_view fileName) {
        run_.lineCount = 0;
        run_.draws.clear();
        std::int64_t position = 1;
        std::string line;
        std::int64_t progressBytes = 0;
        while (ReadLine(position, line)) {
            ++run_.lineCount;
            progressBytes += static_cast<std::int64_t>(line.size());
            if (progressBytes > kDrawAfterBytes) {
                run_.draws.emplace_back(Length(), position);
                progressBytes = 0;
            }
            TakeLine(line);
        }
        if (inWord_) {
            FinishWord();
        }
        FillSummary(fileName);
        FillSubstitution();
        FillUnique();
    }

  private:
    // Written out here rather than taken from the engine's word rule, so
    // that the Substitutions list of every compared run checks that table.
    static std::array<int, 256> BuildCharMap() {
        std::array<int, 256> map{};
        for (int b = 0; b < 256; ++b) {
            if (b >= 'A' && b <= 'Z') {
                map[b] = b - 'A' + 'a';
            } else if ((b >= 'a' && b <= 'z') || b == '\'') {
                map[b] = b;
            } else {
                map[b] = ' ';
            }
        }
        return map;
    }

    std::int64_t Length() const { return static_cast<std::int64_t>(document_.size()); }

    bool ReadLine(std::int64_t& position, std::string& line) const {
        if (position > Length()) {
            return false;
        }
        line.clear();
        while (position <= Length()) {
            const char b = document_[position - 1];
            ++position;
            line += b;
            if (b == '\n') {
                break;
            }
        }
        return true;
    }

    void TakeLine(const std::string& line) {
        if (line[0] == 'B') {
            headingText_ = HeadingText(line);
        } else if (line[0] == ' ') {
            return;
        } else if (line.size() >= 8) {
            lineRef_ = line.substr(0, 7);
            for (std::size_t i = 7; i < line.size(); ++i) {
                ScanByte(line[i]);
            }
        } else {
            for (const char b : line) {
                ScanByte(b);
            }
        }
    }

    static std::string HeadingText(std::string text) {
        if (text.size() >= 2 && text[text.size() - 2] == '\r' && text.back() == '\n') {
            text.resize(text.size() - 2);
        } else if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        if (text.size() >= 8) {
            text[7] = ' ';
        }
        return text + "  ";
    }

    void ScanByte(char byte) {
        const int b = static_cast<unsigned char>(byte);
        const int c = charMap_[b];
        ++charCount_[b];
        if (c == '\'') {
            return;
        }
        if (c != ' ') {
            if (!inWord_) {
                inWord_ = true;
                word_.clear();
            }
            word_ += static_cast<char>(c);
        } else if (inWord_) {
            FinishWord();
        }
    }

    void FinishWord() {
        ++totalWords_;
        std::vector<StoredWord>& bucket = buckets_[word_[0] - 'a'];
        bool found = false;
        for (StoredWord& stored : bucket) {
            if (stored.text == word_) {
                ++stored.hits;
                found = true;
                break;
            }
        }
        if (!found) {
            bucket.push_back({word_, 1, headingText_ + lineRef_});
        }
        inWord_ = false;
    }

    void FillSummary(std::u16string_view fileName) {
        std::int64_t uniqueTotal = 0;
        for (const auto& bucket : buckets_) {
            uniqueTotal += static_cast<std::int64_t>(bucket.size());
        }
        std::int64_t substitutionTotal = 0;
        for (int b = 0; b < 256; ++b) {
            if (b < 'a' || b > 'z') {
                substitutionTotal += charCount_[b];
            }
        }
        Rows& summary = run_.summary;
        summary.resize(6);
        SetRow(summary[0], "File Loaded", Utf8(fileName));
        SetRow(summary[1], "File Size", ReferenceGrouped(Length(), thousands_) + " bytes");
        SetRow(summary[2], "Total Word Count", ReferenceGrouped(totalWords_, thousands_));
        SetRow(summary[3], "Unique Word Count", ReferenceGrouped(uniqueTotal, thousands_));
        SetRow(summary[4], "Substitution Count", ReferenceGrouped(substitutionTotal, thousands_));
        SetRow(summary[5], "Time To Complete", "");
    }

    void FillSubstitution() {
        run_.substitution.resize(256);
        for (int b = 0; b < 256; ++b) {
            const std::string charText = (b < 32 || b > 126) ? " " : std::string(1, char(b));
            std::string replacedWith;
            if (charMap_[b] == ' ') {
                replacedWith = "  {space char}";
            } else if (charMap_[b] == '\'') {
                replacedWith = "{deleted char}";
            } else {
                replacedWith = std::string(1, static_cast<char>(charMap_[b]));
            }
            SetRow(run_.substitution[b], std::to_string(b), charText,
                   ReferenceGrouped(charCount_[b], thousands_), replacedWith);
        }
        AlignRight(run_.substitution, 2, 12);
    }

    void FillUnique() {
        std::size_t words = 0;
        for (const auto& bucket : buckets_) {
            words += bucket.size();
        }
        run_.unique.resize(words);
        std::size_t row = 0;
        for (const auto& bucket : buckets_) {
            for (const StoredWord& word : bucket) {
                SetRow(run_.unique[row], word.text, ReferenceGrouped(word.hits, thousands_),
                       BytesAsText(word.firstOccurs), std::to_string(row + 1));
                ++row;
            }
        }
        AlignRight(run_.unique, 1, 12);
        AlignRight(run_.unique, 3, 8);
    }

    std::string_view document_;
    std::string thousands_;
    std::array<int, 256> charMap_;
    std::array<std::int64_t, 256> charCount_{};
    std::array<std::vector<StoredWord>, 26> buckets_;
    std::string headingText_;
    std::string lineRef_;
    std::string word_;
    bool inWord_ = false;
    std::int64_t totalWords_ = 0;
    ReferenceRun& run_;
};

}  // namespace

std::string ReferenceGrouped(std::int64_t value, std::string_view thousands) {
    // The magnitude of the smallest value is no int64's own.
    const std::uint64_t magnitude =
        value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : value;
    std::string text = value < 0 ? "-" : "";
    return text.append(GroupedMagnitude(magnitude, thousands));
}

// Worked out from the bits of the double: its exact value times 10^8,
// rounded half to even, then split at the point.
std::string ReferenceSeconds(double seconds, std::string_view decimal) {
    const auto bits = std::bit_cast<std::uint64_t>(seconds);
    const auto biased = static_cast<int>(bits >> 52 & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | std::uint64_t{1} << 52;
    const int exponent = (biased == 0 ? 1 : biased) - 1075;
    std::string text = std::signbit(seconds) ? "-" : "";
    if (exponent >= 0) {
        text += mantissa == 0 ? "" : IntegerDigits(mantissa, exponent);
        return text.append(decimal) + "0";
    }
    __extension__ typedef unsigned __int128 Wide;
    constexpr std::uint64_t kScale = 100'000'000;
    const Wide scaled = Wide{mantissa} * kScale;  // below 2^80
    const int shift = -exponent;
    Wide rounded = 0;
    if (shift < 100) {
        const Wide unit = Wide{1} << shift;
        rounded = scaled >> shift;
        const Wide rest = scaled & (unit - 1);
        const Wide half = unit >> 1;
        if (rest > half || (rest == half && (rounded & 1) != 0)) {
            ++rounded;
        }
    }
    const auto whole = static_cast<std::uint64_t>(rounded / kScale);
    std::string decimals = std::to_string(static_cast<std::uint64_t>(rounded % kScale));
    decimals.insert(0, 8 - decimals.size(), '0');
    while (decimals.size() > 1 && decimals.back() == '0') {
        decimals.pop_back();
    }
    text += whole == 0 ? "" : std::to_string(whole);
    return text.append(decimal) + decimals;
}

ReferenceRun RunReferenceModel(std::string_view document, std::u16string_view fileName,
                               const NumberSeparators& separators) {
    ReferenceRun run;
    RunReferenceModel(document, fileName, separators, run);
    return run;
}

void RunReferenceModel(std::string_view document, std::u16string_view fileName,
                       const NumberSeparators& separators, ReferenceRun& run) {
    ReferenceModel(document, separators, run).Run(fileName);
}

}  // namespace quorvex::test
