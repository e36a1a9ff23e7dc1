#include "tests/analysis/analysistesting.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "analysis/occurrences/concordancerows.h"
#include "analysis/occurrences/occurrencesearch.h"
#include "analysis/rows/uniquewordrows.h"
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
    state.SourceBytes = DocumentBytes::SharedCopy(document.begin(), document.end());
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

namespace {

std::optional<std::string> DifferenceInSearch(const AnalysisState& state,
                                              const std::vector<std::size_t>& rows) {
    const WordTable& table = *state.UniqueWords;
    std::vector<std::string> words;
    std::int64_t totalWords = 0;
    for (std::size_t row = 0; row < static_cast<std::size_t>(table.UniqueTotal()); ++row) {
        totalWords += table.Word(row).hits;
    }
    for (const std::size_t row : rows) {
        words.emplace_back(table.Word(row).text);
    }
    const std::shared_ptr<const Occurrences> found =
        FindOccurrences(state.SourceBytes, state.SourceLength, words,
                        [](std::int64_t, std::int64_t) { return RunControl::Continue; });
    std::int64_t wordsUnderHeadings = 0;
    for (std::size_t heading = 0; heading < found->HeadingCount(); ++heading) {
        wordsUnderHeadings += found->WordsUnder(heading);
    }
    if (found->TotalWords() != totalWords || wordsUnderHeadings != totalWords) {
        return "words numbered " + std::to_string(found->TotalWords()) + ", under headings " +
               std::to_string(wordsUnderHeadings) + ", counted " + std::to_string(totalWords);
    }
    const UniqueWordRows unique(state.UniqueWords, {});
    const ConcordanceRows concordance(found);
    for (std::size_t w = 0; w < words.size(); ++w) {
        std::size_t firstAt = 0;
        while (firstAt < found->size() && found->WordOf(firstAt) != w) {
            ++firstAt;
        }
        const std::int64_t hits = table.Word(rows[w]).hits;
        if (found->CountOf(w) != hits || firstAt == found->size()) {
            return words[w] + ": " + std::to_string(found->CountOf(w)) + " occurrences, counted " +
                   std::to_string(hits);
        }
        const std::u16string place =
            concordance.Cell(firstAt, IndexOf(ConcordanceRows::Column::Heading)) +
            concordance.Cell(firstAt, IndexOf(ConcordanceRows::Column::Reference));
        const std::u16string firstOccurs =
            unique.Cell(rows[w], IndexOf(UniqueWordRows::Column::FirstOccurs));
        if (place != firstOccurs) {
            return words[w] + ": first found at \"" + Escaped(Utf8(place)) + "\", first occurs \"" +
                   Escaped(Utf8(firstOccurs)) + "\"";
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FirstOccurrenceDifference(const AnalysisState& state, std::size_t first,
                                                     std::size_t step) {
    std::vector<std::size_t> rows;
    const auto uniqueTotal = static_cast<std::size_t>(state.UniqueWords->UniqueTotal());
    for (std::size_t row = first; row < uniqueTotal; row += step) {
        rows.push_back(row);
        if (rows.size() == kMostSearchedWords || row + step >= uniqueTotal) {
            if (std::optional<std::string> difference = DifferenceInSearch(state, rows)) {
                return difference;
            }
            rows.clear();
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
