#include "tests/analysis/analysistesting.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <unordered_map>

#include "analysis/words/wordindex.h"
#include "tests/analysis/recordinghooks.h"

namespace quorvex::test {

namespace {

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::u16string_view WithoutBlankEnds(std::u16string_view text) {
    constexpr std::u16string_view kBlanks = u" \t\r\n";
    const std::size_t first = std::min(text.find_first_not_of(kBlanks), text.size());
    return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, code);
    }
    return out;
}

Rows RowsOf(const ReportRows& table) {
    Rows rows(table.RowCount());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < table.ColumnCount(); ++column) {
            rows[row].push_back(Utf8(table.Cell(row, column)));
        }
    }
    return rows;
}

AnalysisState LoadedState(std::string_view document, std::u16string fileName) {
    AnalysisState state;
    state.SourceFileName = std::move(fileName);
    state.SourceBytes.assign(document.begin(), document.end());
    state.SourceLength = static_cast<std::int64_t>(document.size());
    return state;
}

ResultLists RunToEnd(AnalysisState& state, const NumberSeparators& separators) {
    RecordingHooks hooks;
    return AnalyseDocument(state, hooks, separators).value();
}

std::optional<std::string> FirstSortDifference(const ReportRows& rows, const RowSort& sort) {
    for (int column = 0; column < rows.ColumnCount(); ++column) {
        for (const bool descending : {false, true}) {
            std::vector<std::uint32_t> typed;
            std::vector<std::uint32_t> byText;
            if (sort) {
                sort(column, descending, typed);
            } else {
                rows.SortRows(column, descending, typed);
            }
            SortRowsByText(rows, column, descending, byText);
            if (typed != byText) {
                const auto at = std::mismatch(typed.begin(), typed.end(), byText.begin()).first;
                return "column " + std::to_string(column) +
                       (descending ? " descending" : " ascending") + ", place " +
                       std::to_string(at - typed.begin());
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> FirstSizeDifference(const ReportRows& rows, unsigned seed) {
    std::mt19937 random(seed);
    const std::size_t count = rows.RowCount();
    for (int round = 0; round < 4; ++round) {
        // The whole list at once first, then any number of parts, any
        // number of columns, and rows taken each with an even chance.
        const bool whole = round == 0;
        const std::size_t parts = whole ? 1 : 1 + random() % (count + 2);
        const int columns = whole ? rows.ColumnCount() : random() % (rows.ColumnCount() + 2);
        std::vector<bool> selected(count);
        std::uint64_t expected = 0;
        for (std::size_t row = 0; row < count; ++row) {
            selected[row] = whole || random() % 2 == 0;
            for (int column = 0; selected[row] && column < columns; ++column) {
                expected += Utf8(WithoutBlankEnds(rows.Cell(row, column))).size();
            }
        }
        std::uint64_t told = 0;
        for (std::size_t part = 0; part < parts; ++part) {
            told += rows.TrimmedUtf8Size(selected, part, parts, columns);
        }
        if (told != expected) {
            return std::to_string(parts) + " parts, " + std::to_string(columns) +
                   " columns: " + std::to_string(told) + " bytes, expected " +
                   std::to_string(expected);
        }
    }
    return std::nullopt;
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 32 && b < 127 && b != '\\') {
            out += c;
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", b);
            out += buffer;
        }
    }
    return out;
}

std::string RandomWord(std::size_t length, std::mt19937& random) {
    std::string word(length, 'a');
    for (char& letter : word) {
        letter = static_cast<char>('a' + random() % 26);
    }
    return word;
}

std::uint64_t IndexHash(const WordHash& hash, const std::string& word) {
    const std::size_t length = word.size();
    LongKey packed;
    std::memcpy(&packed.prefix, word.data(), std::min<std::size_t>(length, 8));
    std::memcpy(&packed.middle, word.data() + 8, std::clamp<std::size_t>(length, 8, 16) - 8);
    return length <= 8                        ? hash.Short(packed.prefix)
           : WordIndex::HasFiveBitKey(packed) ? hash.Short(WordIndex::FiveBitKey(packed))
           : length <= 16                     ? hash.Long(packed.prefix, packed.middle)
                                              : hash.Long(length, [&word](std::size_t chunk) {
                                std::uint64_t letters = 0;
                                word.copy(reinterpret_cast<char*>(&letters), 8, chunk * 8);
                                return letters;
                            });
}

std::array<std::string, 2> WordsSharingHashHalf(std::uint64_t seed, std::size_t length,
                                                std::size_t otherLength, std::mt19937& random) {
    const WordHash hash(seed);
    std::array<std::unordered_map<std::uint64_t, std::string>, 2> seen;
    const std::array<std::size_t, 2> lengths = {length, otherLength};
    for (;;) {
        for (std::size_t side = 0; side < 2; ++side) {
            std::string word = RandomWord(lengths[side], random);
            const std::uint64_t half = IndexHash(hash, word) >> 32;
            const auto found = seen[1 - side].find(half);
            if (found != seen[1 - side].end() && found->second != word) {
                return side == 0 ? std::array{word, found->second}
                                 : std::array{found->second, word};
            }
            seen[side].emplace(half, std::move(word));
        }
    }
}

namespace {

// Two letters as the low bytes of a chunk half, for every pair of letters.
std::vector<std::uint64_t> LetterPairs() {
    std::vector<std::uint64_t> pairs;
    for (std::uint64_t first = 'a'; first <= 'z'; ++first) {
        for (std::uint64_t second = 'a'; second <= 'z'; ++second) {
            pairs.push_back(first | second << 8);
        }
    }
    return pairs;
}

}  // namespace

std::array<std::string, 2> WordAndPrefixSharingHashHalf(std::uint64_t seed, std::mt19937& random) {
    const WordHash hash(seed);
    // the product of the fourth chunk alone: (high key + high half) * (low key + low half)
    const auto product = [&hash](std::uint64_t chunk) {
        return hash.Long(32, [chunk](std::size_t i) { return i == 3 ? chunk : 0; }) -
               hash.Long(24, [](std::size_t) { return std::uint64_t{0}; });
    };
    const std::uint64_t highKey = product(1) - product(0);
    const std::uint64_t lowKey = product(1ull << 32) - product(0);
    const std::vector<std::uint64_t> pairs = LetterPairs();
    for (;;) {
        const std::uint64_t high = pairs[random() % pairs.size()] | pairs[random() % pairs.size()]
                                                                        << 16;
        const std::uint64_t factor = highKey + high;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> lows;  // factor * pair, pair
        for (const std::uint64_t pair : pairs) {
            lows.emplace_back(factor * pair, pair);
        }
        std::sort(lows.begin(), lows.end());
        for (const std::uint64_t pair : pairs) {
            const std::uint64_t wanted = 0 - (factor * (lowKey + (pair << 16)));
            const auto found = std::lower_bound(lows.begin(), lows.end(),
                                                std::pair<std::uint64_t, std::uint64_t>(wanted, 0));
            if (found == lows.end() || found->first - wanted >= (1ull << 31)) {
                continue;
            }
            std::string word = RandomWord(24, random);
            std::string more(8, 'a');
            const std::uint64_t chunk = high << 32 | pair << 16 | found->second;
            std::memcpy(more.data(), &chunk, 8);
            if (IndexHash(hash, word + more) >> 32 == IndexHash(hash, word) >> 32) {
                return {word + more, word};
            }
        }
    }
}

}  // namespace quorvex::test
