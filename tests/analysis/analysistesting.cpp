#include "tests/analysis/analysistesting.h"

#include <algorithm>
#include <cstdio>
#include <random>

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

}  // namespace quorvex::test
