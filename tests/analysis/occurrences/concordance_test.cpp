#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "analysis/occurrences/concordancerows.h"
#include "analysis/occurrences/headingcountrows.h"
#include "analysis/occurrences/occurrencesearch.h"
#include "analysis/text/codepage.h"
#include "tests/analysis/analysistesting.h"

namespace quorvex::test {
namespace {

using Column = ConcordanceRows::Column;

// One occurrence as the slow model sees it.
struct ModelRow {
    std::string heading;
    std::string reference;
    std::string before;  // the scanned part of the line before the word
    std::string word;
    std::string after;  // the line after the word, without its ending
    std::vector<std::string> leftWords;
    std::vector<std::string> rightWords;
    std::size_t searched;
};

// The words of `bytes` byte by byte: runs of letters and apostrophes
// holding a letter, folded, the apostrophes dropped.
std::vector<std::string> FoldedWords(const std::string& bytes) {
    std::vector<std::string> words(1);
    for (const char c : bytes + " ") {
        if (std::isalpha(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) {
            words.back() += static_cast<char>(std::tolower(c));
        } else if (c != '\'' && !words.back().empty()) {
            words.emplace_back();
        }
    }
    words.pop_back();
    return words;
}

// A heading line's text, its words, and the count of each searched word.
struct ModelHeading {
    std::string text;
    std::int64_t words = 0;
    std::vector<std::int64_t> counts;
};

// Every occurrence of `searched`, cut out of each line the slow way, and the
// words under each heading, the first being the words before any.
std::vector<ModelRow> ModelRows(const std::string& document,
                                const std::vector<std::string>& searched,
                                std::vector<ModelHeading>& headings) {
    std::vector<ModelRow> rows;
    headings.assign(1, {"", 0, std::vector<std::int64_t>(searched.size())});
    std::string heading;
    std::string reference;
    for (std::size_t at = 0; at < document.size();) {
        const std::size_t lineFeed = document.find('\n', at);
        const std::size_t next = lineFeed == std::string::npos ? document.size() : lineFeed + 1;
        std::string line = document.substr(at, next - at);
        at = next;
        const bool hasEnding = line.back() == '\n';
        std::string text = line.substr(0, line.size() - (hasEnding ? 1 : 0));
        if (hasEnding && !text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        if (line[0] == 'B') {
            heading = text;
            if (heading.size() >= 8) {
                heading[7] = ' ';
            }
            heading += "  ";
            headings.push_back({heading, 0, std::vector<std::int64_t>(searched.size())});
            continue;
        }
        if (line[0] == ' ') {
            continue;
        }
        const std::size_t scanStart = line.size() >= 8 ? 7 : 0;
        if (scanStart == 7) {
            reference = line.substr(0, 7);
        }
        for (std::size_t i = scanStart; i < line.size();) {
            auto inRun = [&](std::size_t j) {
                const auto byte = static_cast<unsigned char>(line[j]);
                return j < line.size() && ((byte < 0x80 && std::isalpha(byte)) || byte == '\'');
            };
            if (!inRun(i)) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (inRun(end)) {
                ++end;
            }
            const std::string run = line.substr(i, end - i);
            const std::size_t first = run.find_first_not_of('\'');
            const std::vector<std::string> folded = FoldedWords(run);
            const auto found = folded.empty()
                                   ? searched.end()
                                   : std::find(searched.begin(), searched.end(), folded[0]);
            headings.back().words += static_cast<std::int64_t>(folded.size());
            if (found != searched.end()) {
                ++headings.back().counts[static_cast<std::size_t>(found - searched.begin())];
                const std::size_t last = run.find_last_not_of('\'');
                ModelRow row{heading,
                             reference,
                             line.substr(scanStart, i + first - scanStart),
                             run.substr(first, last + 1 - first),
                             text.size() > i + last ? text.substr(i + last + 1) : "",
                             FoldedWords(line.substr(scanStart, i - scanStart)),
                             FoldedWords(line.substr(end)),
                             static_cast<std::size_t>(found - searched.begin())};
                std::reverse(row.leftWords.begin(), row.leftWords.end());
                rows.push_back(std::move(row));
            }
            i = end;
        }
    }
    return rows;
}

// Lines made to be odd: no heading at first, short lines, skipped lines,
// words of two letters and apostrophes at their ends, high and control
// bytes, carriage returns inside lines, stretches longer than a context,
// often no last line feed; few words, so that many sides agree far out.
std::string OddDocument(std::mt19937& random) {
    const std::vector<std::string> pieces = {"ab",
                                             "Ab",
                                             "b'",
                                             "'a",
                                             "A'B",
                                             "ab'",
                                             "a",
                                             "b",
                                             "ba",
                                             " ",
                                             " ",
                                             "  ",
                                             "\r",
                                             "\t",
                                             "\x01",
                                             "\x85",
                                             "\xe9",
                                             "\xff",
                                             "'",
                                             "B'a",
                                             ".",
                                             "\x80",
                                             std::string(300, '-')};
    std::string document;
    const int lines = static_cast<int>(random() % 16);
    for (int line = 0; line < lines; ++line) {
        const unsigned kind = random() % 10;
        document += kind == 0   ? "B"
                    : kind == 1 ? " "
                    : kind < 4  ? ""
                                : "001:00" + std::to_string(line % 10);
        const int length = static_cast<int>(random() % (kind < 4 ? 4 : 24));
        for (int i = 0; i < length; ++i) {
            document += pieces[random() % pieces.size()];
        }
        document += random() % 3 == 0 ? "\r\n" : "\n";
    }
    if (random() % 2 == 0) {
        document += "a" + pieces[random() % pieces.size()] + "ab";
    }
    return document;
}

std::vector<std::uint32_t> ModelOrder(const std::vector<ModelRow>& rows, bool descending,
                                      const auto& key) {
    std::vector<std::uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return descending ? key(rows[b]) < key(rows[a]) : key(rows[a]) < key(rows[b]);
    });
    return order;
}

std::u16string Shown(const std::string& bytes, std::size_t width, bool nearestAtEnd) {
    const std::string part = bytes.size() <= width ? bytes
                             : nearestAtEnd        ? bytes.substr(bytes.size() - width)
                                                   : bytes.substr(0, width);
    return DecodeWindows1252(part);
}

// The count per heading's rows, trimmed, as the model counts: no first row
// when no word comes before the first heading, per 10,000 words rounded
// half up to one decimal, "0,0" under a heading without words.
void ExpectHeadingRows(const HeadingCountRows& rows, const std::vector<ModelHeading>& headings) {
    const std::size_t skipped = headings[0].words == 0 ? 1 : 0;
    ASSERT_EQ(rows.RowCount(), headings.size() - skipped);
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const ModelHeading& heading = headings[row + skipped];
        std::vector<std::string> expected = {
            row + skipped == 0 ? "(no heading)" : Utf8(DecodeWindows1252(heading.text)),
            std::to_string(heading.words)};
        for (const std::int64_t count : heading.counts) {
            const std::int64_t tenths =
                heading.words == 0 ? 0 : (count * 200000 + heading.words) / (2 * heading.words);
            expected.push_back(std::to_string(count));
            const std::string digits = std::to_string(tenths / 10);
            std::string whole;
            for (std::size_t i = 0; i < digits.size(); ++i) {
                if (i > 0 && (digits.size() - i) % 3 == 0) {
                    whole.push_back('.');
                }
                whole.push_back(digits[i]);
            }
            whole.push_back(',');
            whole.push_back(static_cast<char>('0' + tenths % 10));
            expected.push_back(whole);
        }
        for (int column = 0; column < rows.ColumnCount(); ++column) {
            std::string cell = Utf8(rows.Cell(row, column));
            if (column > 0) {
                EXPECT_EQ(cell.size(), kCountWidth);
                cell.erase(0, cell.find_first_not_of(' '));
            }
            ASSERT_EQ(cell, expected[static_cast<std::size_t>(column)]) << "row " << row;
        }
    }
}

// Every cell, and the order of every sort in both directions, as the slow
// model makes them, on thousands of odd documents and three context widths.
TEST(Concordance, CellsAndSortsAreThoseOfTheSlowModel) {
    std::mt19937 random(25);
    std::size_t rowsCompared = 0;
    const std::vector<std::vector<std::string>> searches = {{"ab"}, {"a", "b"}, {"ba", "ab", "b"}};
    for (int document = 0; document < 3000; ++document) {
        const std::string text = OddDocument(random);
        const std::vector<std::string>& words = searches[document % searches.size()];
        std::vector<ModelHeading> headings;
        const std::vector<ModelRow> model = ModelRows(text, words, headings);
        const AnalysisState state = LoadedState(text);
        const auto found = FindOccurrences(state.SourceBytes, state.SourceLength, words,
                                           [](auto, auto) { return RunControl::Continue; });
        ExpectHeadingRows(HeadingCountRows(found, {u".", u","}), headings);
        for (std::size_t heading = 0, first = 0; heading < found->HeadingCount(); ++heading) {
            while (first < model.size() && found->HeadingOf(first) < heading) {
                ++first;
            }
            const bool under = first < model.size() && found->HeadingOf(first) == heading;
            ASSERT_EQ(found->FirstUnder(heading), under ? first : model.size());
        }
        ConcordanceRows rows(found);
        ASSERT_EQ(rows.RowCount(), model.size()) << Escaped(text);
        rowsCompared += model.size();
        const std::size_t width = ConcordanceRows::kNarrowestContext + (document % 3) * 10;
        rows.SetContextWidth(width);
        for (std::size_t r = 0; r < model.size(); ++r) {
            const ModelRow& m = model[r];
            const std::vector<std::u16string> expected = {
                DecodeWindows1252(m.heading), DecodeWindows1252(m.reference),
                Shown(m.before, width, true), DecodeWindows1252(m.word),
                Shown(m.after, width, false)};
            for (int column = 0; column < ConcordanceRows::kColumnCount; ++column) {
                ASSERT_EQ(Utf8(rows.Cell(r, column)), Utf8(expected[column]))
                    << "row " << r << " column " << column << " in \"" << Escaped(text) << "\"";
            }
            ASSERT_EQ(rows.Found().WordOf(r), m.searched);
            ASSERT_EQ(rows.Found().LineRefOfWord(rows.Found().NumberOf(r)),
                      rows.Found().LineRef(r));
        }
        ASSERT_FALSE(FirstSizeDifference(rows, static_cast<unsigned>(document)));
        const auto byWord = [&](const ModelRow& m) { return std::pair(words[m.searched], m.word); };
        const auto inPlace = [&](const ModelRow&) { return 0; };
        for (const bool descending : {false, true}) {
            const std::vector<std::pair<Column, std::vector<std::uint32_t>>> sorts = {
                {Column::Left, ModelOrder(
                                   model, descending,
                                   [](const ModelRow& m) -> const auto& { return m.leftWords; })},
                {Column::Right, ModelOrder(
                                    model, descending,
                                    [](const ModelRow& m) -> const auto& { return m.rightWords; })},
                {Column::Word, ModelOrder(model, descending, byWord)},
                {Column::Heading, ModelOrder(model, false, inPlace)}};
            for (const auto& [column, expected] : sorts) {
                std::vector<std::uint32_t> order;
                rows.SortRows(IndexOf(column), descending, order);
                if (column == Column::Heading && descending) {
                    std::reverse(order.begin(), order.end());
                }
                ASSERT_EQ(order, expected)
                    << "column " << IndexOf(column) << (descending ? " descending" : "") << " in \""
                    << Escaped(text) << "\"";
            }
        }
    }
    EXPECT_GT(rowsCompared, 10000u);
}

// Lines of a few pieces alike make groups of a hundred thousand rows with
// equal own parts, sorted otherwise than small ones, over several rounds;
// lines that differ only in their first word, a group of seventy thousand
// told apart only by ranks all over the order.
TEST(Concordance, SortsOfLargeGroupsAreThoseOfTheSlowModel) {
    const std::vector<std::string> pieces = {" a sli", " b sli", " sli"};
    std::mt19937 random(7);
    std::string text;
    for (int line = 0; line < 25000; ++line) {
        text += "001:001";
        for (int piece = 0; piece < 10; ++piece) {
            text += pieces[random() % pieces.size()];
        }
        text += "\n";
    }
    for (int line = 0; line < 70000; ++line) {
        text += "001:001 " +
                std::string{static_cast<char>('c' + random() % 20),
                            static_cast<char>('c' + random() % 20)} +
                " sli a sli\n";
    }
    std::vector<ModelHeading> headings;
    const std::vector<ModelRow> model = ModelRows(text, {"sli"}, headings);
    const AnalysisState state = LoadedState(text);
    const ConcordanceRows rows(FindOccurrences(state.SourceBytes, state.SourceLength, {"sli"},
                                               [](auto, auto) { return RunControl::Continue; }));
    for (const bool descending : {false, true}) {
        std::vector<std::uint32_t> order;
        rows.SortRows(IndexOf(Column::Left), descending, order);
        EXPECT_EQ(order, ModelOrder(
                             model, descending,
                             [](const ModelRow& m) -> const auto& { return m.leftWords; }));
        rows.SortRows(IndexOf(Column::Right), descending, order);
        EXPECT_EQ(order, ModelOrder(
                             model, descending,
                             [](const ModelRow& m) -> const auto& { return m.rightWords; }));
    }
}

// The search reports its reading about every MiB, within a long line too,
// whose words count once and have their line found again, stops when told,
// reads no further than the length it is given, refuses odd words.
TEST(OccurrenceSearch, ReportsProgressStopsAndRefusesOddWords) {
    constexpr std::size_t kRecords = 400000;
    std::string lines;
    std::string oneLine = "001:001";
    for (std::size_t record = 0; record < kRecords; ++record) {
        lines += std::to_string(1000000 + record) + " ab ba\n";
        oneLine += "ab ba ";
    }
    const auto goOn = [](auto, auto) { return RunControl::Continue; };
    for (const auto& [text, found] :
         {std::pair(lines, 2 * kRecords), std::pair(oneLine, 2 * kRecords),
          std::pair("B" + oneLine.substr(1), std::size_t{0})}) {
        const AnalysisState state = LoadedState(text);
        std::vector<std::int64_t> reads;
        const auto stopAtSecond = [&](std::int64_t read, std::int64_t total) {
            EXPECT_EQ(total, state.SourceLength);
            reads.push_back(read);
            return reads.size() == 2 ? RunControl::Stop : RunControl::Continue;
        };
        EXPECT_EQ(FindOccurrences(state.SourceBytes, state.SourceLength, {"ab"}, stopAtSecond),
                  nullptr);
        ASSERT_EQ(reads.size(), 2u);
        EXPECT_NEAR(static_cast<double>(reads[1] - reads[0]), 1 << 20, 64);
        const auto all = FindOccurrences(state.SourceBytes, state.SourceLength, {"ab", "ba"}, goOn);
        EXPECT_EQ(all->size(), found);
        for (std::size_t at = 0; at < all->size(); at += 997) {
            ASSERT_EQ(all->LineRefOfWord(all->NumberOf(at)), all->LineRef(at)) << at;
        }
    }

    const AnalysisState state = LoadedState(lines);
    EXPECT_EQ(FindOccurrences(state.SourceBytes, 12, {"ab", "ba"}, goOn)->size(), 1u);
    for (const std::vector<std::string>& odd : std::vector<std::vector<std::string>>{
             {}, {""}, {"Ab"}, {"a'b"}, {"ab", "ab"}, std::vector<std::string>(9, "a")}) {
        EXPECT_THROW(FindOccurrences(state.SourceBytes, state.SourceLength, odd, goOn),
                     std::invalid_argument);
    }
}

}  // namespace
}  // namespace quorvex::test
