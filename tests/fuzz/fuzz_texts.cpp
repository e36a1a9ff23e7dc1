// Any bytes as the makings of the texts the window shows and copies: number
// separators of any characters, numbers, and a list of cells of any
// characters, some of them longer than a cell shows. Each text is checked
// against its rule written out plainly, sharing no code with the program:
// the number formats against the reference model's, the display cut and the
// copy's plain text, HTML and size against the rules written out here.
#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "analysis/rows/texttable.h"
#include "analysis/text/numberformat.h"
#include "tests/analysis/analysistesting.h"
#include "tests/analysis/referencemodel.h"
#include "ui/reportlist/reportlistmodel.h"
#include "ui/reportlist/rowcopy.h"

namespace quorvex::test {
namespace {

constexpr std::size_t kMostRows = 12;
constexpr int kMostColumns = 4;
constexpr char16_t kEllipsis = u'\u2026';

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// --- Characters and their encodings, written out ---

void AppendUtf16(std::u16string& text, char32_t code) {
    if (code < 0x10000) {
        text += static_cast<char16_t>(code);
    } else {
        text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
}

// The code points of a text made of whole characters.
std::vector<char32_t> CodePoints(std::u16string_view text) {
    std::vector<char32_t> codes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
            codes.push_back(0x10000 + ((text[i] - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            codes.push_back(text[i]);
        }
    }
    return codes;
}

std::u16string FromCodePoints(const std::vector<char32_t>& codes, std::size_t count) {
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i) {
        AppendUtf16(text, codes[i]);
    }
    return text;
}

// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing past U+10FFFF.
bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || i + length > bytes.size()) {
            return false;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

// --- What the input makes ---

// Mostly the characters the rules treat apart, else any code point.
char32_t NextCharacter(FuzzedDataProvider& input) {
    static constexpr char32_t kNotable[] = {
        u' ', u'\t', u'\r', u'\n',  u'&',   u'<',   u'>',    u'"',    u'\'',
        u'a', u'0',  u'9',  u',',   u'.',   u'-',   0xA0,    0x202F,  0x2026,
        0xE9, 0x7FF, 0x800, 0xFFFD, 0xFFFF, 0xE000, 0x1F600, 0x10000, 0x10FFFF};
    const auto pick = input.ConsumeIntegral<std::uint8_t>();
    if (pick < std::size(kNotable)) {
        return kNotable[pick];
    }
    if (pick < 200) {
        return pick - std::size(kNotable) + u' ';
    }
    const auto code = input.ConsumeIntegralInRange<char32_t>(0, 0x10FFFF - 0x800);
    return code < 0xD800 ? code : code + 0x800;
}

// A few characters, and now and then the same again many times, so that
// short inputs make texts past the display cut too.
std::u16string NextText(FuzzedDataProvider& input, std::size_t mostCharacters) {
    std::u16string piece;
    const auto length = input.ConsumeIntegralInRange<std::size_t>(0, mostCharacters);
    for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        AppendUtf16(piece, NextCharacter(input));
    }
    const int repeats = input.ConsumeBool() ? input.ConsumeIntegralInRange(1, 1500) : 1;
    std::u16string text;
    for (int i = 0; i < repeats; ++i) {
        text += piece;
    }
    return text;
}

QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

std::u16string FromQString(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

// --- Numbers ---

void CheckNumbers(FuzzedDataProvider& input, const NumberSeparators& separators) {
    const auto value = input.ConsumeIntegral<std::int64_t>();
    const std::u16string grouped = FormatGrouped(value, separators);
    Check(Utf8(grouped) == ReferenceGrouped(value, Utf8(separators.thousands)), "grouped digits");
    Check(Utf8(FormatDigits(value)) == std::to_string(value), "plain digits");

    const auto seconds = std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
    const std::u16string secondsText = FormatSeconds(seconds, separators);
    if (std::isnan(seconds)) {
        Check(secondsText == u"nan" || secondsText == u"-nan", "no number is nan");
    } else if (std::isinf(seconds)) {
        Check(secondsText == (seconds < 0 ? u"-inf" : u"inf"), "infinity is inf");
    } else {
        Check(Utf8(secondsText) == ReferenceSeconds(seconds, Utf8(separators.decimal)), "seconds");
    }

    const auto width = input.ConsumeIntegralInRange<std::size_t>(0, 40);
    const std::vector<char32_t> characters = CodePoints(grouped);
    const std::u16string padded = FixedWidth(grouped, width);
    Check(CharacterCount(grouped) == characters.size(), "characters counted");
    const std::size_t padding = std::max(width, characters.size()) - characters.size();
    Check(padded == std::u16string(padding, u' ') + grouped, "padded on the left to the width");
    Check(ColumnWidth(width, grouped) == std::max(width, characters.size()), "column width");
}

// --- The display cut ---

std::u16string FirstCodePoints(std::u16string_view text, std::size_t limit) {
    const std::vector<char32_t> codes = CodePoints(text);
    return FromCodePoints(codes, std::min(limit, codes.size()));
}

// What a list shows of a text: all of it up to the cut, else the characters
// before the cut and an ellipsis.
std::u16string Shown(std::u16string_view text) {
    const std::vector<char32_t> codes = CodePoints(text);
    if (codes.size() <= ReportListModel::kShownCharacters) {
        return std::u16string(text);
    }
    return FromCodePoints(codes, ReportListModel::kShownCharacters) + kEllipsis;
}

void CheckCut(const TextTable& table, const ReportListModel& model, std::size_t limit) {
    for (std::size_t row = 0; row < table.RowCount(); ++row) {
        for (int column = 0; column < table.ColumnCount(); ++column) {
            const std::u16string whole = table.Cell(row, column);
            Check(table.Cell(row, column, limit) == FirstCodePoints(whole, limit),
                  "a cell's first characters");
            Check(CutToLimit(whole, limit) == FirstCodePoints(whole, limit), "a text cut");
            Check(FromQString(model.ShownText(static_cast<int>(row), column)) ==
                      Shown(FromQString(model.Text(static_cast<int>(row), column))),
                  "a list shows a text up to the cut");
        }
    }
}

// --- The copy ---

bool BecomesSpace(char16_t c) {
    return c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string Copied(std::u16string text) {
    const auto cut = [](char16_t c) { return c == u' ' || BecomesSpace(c); };
    while (!text.empty() && cut(text.back())) {
        text.pop_back();
    }
    const auto first = std::find_if_not(text.begin(), text.end(), cut);
    text.erase(text.begin(), first);
    std::replace_if(text.begin(), text.end(), BecomesSpace, u' ');
    return text;
}

std::u16string Escaped(std::u16string_view text) {
    std::u16string out;
    for (const char16_t c : text) {
        const std::u16string_view entity = c == u'&'   ? u"&amp;"
                                           : c == u'<' ? u"&lt;"
                                           : c == u'>' ? u"&gt;"
                                           : c == u'"' ? u"&quot;"
                                                       : u"";
        if (entity.empty()) {
            out += c;
        } else {
            out += entity;
        }
    }
    return out;
}

struct ExpectedCopy {
    std::u16string plain;
    std::u16string html = u"<html><head><meta charset=\"utf-8\"></head><body><table>\n";

    void AddLine(const std::vector<std::u16string>& cells, bool captions) {
        html += u"<tr>";
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const std::u16string copied = Copied(cells[column]);
            plain += (column > 0 ? u"\t" : u"") + copied;
            html +=
                (captions ? u"<th>" : u"<td>") + Escaped(copied) + (captions ? u"</th>" : u"</td>");
        }
        plain += u'\n';
        html += u"</tr>\n";
    }
};

// Runs in any order, overlapping or touching, each kept within the rows.
RowRuns NextRuns(FuzzedDataProvider& input, int rows) {
    RowRuns runs;
    const int count = rows == 0 ? 0 : input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < count; ++i) {
        const int first = input.ConsumeIntegralInRange(0, rows - 1);
        runs.append({first, input.ConsumeIntegralInRange(first, rows - 1)});
    }
    return runs;
}

void CheckMerged(const RowRuns& runs, const RowRuns& merged) {
    std::set<int> given;
    for (const RowRun& run : runs) {
        for (int row = run.first; row <= run.last; ++row) {
            given.insert(row);
        }
    }
    std::set<int> covered;
    for (qsizetype i = 0; i < merged.size(); ++i) {
        Check(merged[i].first <= merged[i].last, "a run is not empty");
        Check(i == 0 || merged[i - 1].last + 1 < merged[i].first,
              "merged runs ascend, apart from each other");
        for (int row = merged[i].first; row <= merged[i].last; ++row) {
            covered.insert(row);
        }
    }
    Check(covered == given, "merged runs cover the rows given");
}

void CheckCopy(const ReportListModel& model, const RowRuns& runs, qint64 mostBytes) {
    const int columns = model.columnCount();
    ExpectedCopy expected;
    std::vector<std::u16string> cells(static_cast<std::size_t>(columns));
    for (int column = 0; column < columns; ++column) {
        cells[column] = FromQString(model.headerData(column, Qt::Horizontal).toString());
    }
    expected.AddLine(cells, true);
    std::ptrdiff_t lines = 1;
    for (const RowRun& run : runs) {
        for (int row = run.first; row <= run.last; ++row, ++lines) {
            for (int column = 0; column < columns; ++column) {
                cells[column] = FromQString(model.Text(row, column));
            }
            expected.AddLine(cells, false);
        }
    }
    expected.html += u"</table></body></html>\n";
    const std::string plain = Utf8(expected.plain);

    const CopiedRows copy = CopyRows(model, runs, mostBytes, {});
    Check(copy.plainBytes == static_cast<qint64>(plain.size()), "the copy's size is its text's");
    if (copy.plainBytes > mostBytes) {
        Check(copy.outcome == CopyOutcome::TooLarge && copy.plain.isEmpty(),
              "a copy over the limit is refused");
        return;
    }
    Check(copy.outcome == CopyOutcome::Copied, "a copy within the limit is made");
    Check(copy.plain.toStdString() == plain, "the copied text");
    Check(copy.html.toStdString() == Utf8(expected.html), "the copied HTML");
    Check(IsUtf8(copy.plain.toStdString()) && IsUtf8(copy.html.toStdString()), "the copy is UTF-8");
    Check(std::count(plain.begin(), plain.end(), '\n') == lines &&
              std::count(plain.begin(), plain.end(), '\t') == lines * (columns - 1),
          "no tab or line break inside a cell");
}

// Unsorted, the list shows the rows as given; sorted, in key order.
void CheckOrder(const ReportListModel& model, const TextTable& table) {
    if (!model.Sorted()) {
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 0; column < model.columnCount(); ++column) {
                Check(FromQString(model.Text(row, column)) ==
                          table.Cell(static_cast<std::size_t>(row), column),
                      "an unsorted list shows its rows as given");
            }
        }
        return;
    }
    for (int row = 1; row < model.rowCount(); ++row) {
        const QString before = model.Text(row - 1, model.SortKey());
        const QString after = model.Text(row, model.SortKey());
        Check(model.SortOrder() == 0 ? !(after < before) : !(before < after),
              "a sorted list is in the order of its key texts");
    }
}

void RunTexts(FuzzedDataProvider& input) {
    const NumberSeparators separators{NextText(input, 3), NextText(input, 3)};
    CheckNumbers(input, separators);

    const int columns = input.ConsumeIntegralInRange(1, kMostColumns);
    const auto rows = input.ConsumeIntegralInRange<std::size_t>(0, kMostRows);
    QList<ReportColumn> captions;
    for (int column = 0; column < columns; ++column) {
        captions.append({ToQString(NextText(input, 6)), Qt::AlignLeft});
    }
    auto table = std::make_shared<TextTable>(columns);
    for (std::size_t row = 0; row < rows; ++row) {
        table->AppendRow(NextText(input, 6));
        for (int column = 1; column < columns; ++column) {
            table->AddColumnText(NextText(input, 6));
        }
    }
    ReportListModel model(captions);
    model.ReplaceRows(table);
    model.SetSortSettings(input.ConsumeIntegralInRange(0, columns - 1), input.ConsumeBool(),
                          input.ConsumeIntegralInRange(0, 1));
    CheckOrder(model, *table);
    CheckCut(*table, model, input.ConsumeIntegralInRange<std::size_t>(0, 5000));

    const RowRuns runs = NextRuns(input, static_cast<int>(rows));
    const RowRuns merged = MergeRuns(runs);
    CheckMerged(runs, merged);
    const bool smallLimit = input.ConsumeBool();
    CheckCopy(model, merged,
              smallLimit ? input.ConsumeIntegralInRange<qint64>(0, 4000) : kMostCopiedBytes);
}

}  // namespace
}  // namespace quorvex::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    quorvex::test::RunTexts(input);
    return 0;
}
