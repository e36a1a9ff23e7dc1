#include "ui/reportlist/rowcopy.h"

#include <QString>
#include <algorithm>
#include <chrono>
#include <vector>

#include "analysis/text/utf8measure.h"
#include "ui/reportlist/reportlistmodel.h"

namespace quorvex {

namespace {

// Often enough for the window to repaint smoothly, rarely enough that a walk
// over millions of rows spends its time on the rows.
constexpr auto kBreathingInterval = std::chrono::milliseconds(40);
constexpr int kRowsBetweenClockReadings = 1024;
// Rows of a few tens of kilobytes of memory, sized between two looks at the
// clock.
constexpr std::size_t kRowsSizedAtOnce = 4096;

using CellTexts = std::function<QString(int column)>;

// The copy's format. A cell's tabs and line breaks become spaces, so that
// they cannot split its line or cell; spaces, and what becomes one, are
// taken off its ends. Every other character stays, even where
// QString::trimmed would take it off. Cells are separated by a tab, and every
// line ends in a line feed. Each of these is one byte in UTF-8, so making a
// space changes no size.
constexpr AsciiSet kBecomesSpace(u"\t\r\n");
constexpr AsciiSet kTakenOffTheEnds(u" \t\r\n");
constexpr QChar kCellSeparator = u'\t';
constexpr QChar kLineEnd = u'\n';
// The separators between a line's cells and the line's end, one byte each.
constexpr qint64 LineFrameBytes(int columns) {
    return columns;
}

QStringView CopiedPart(QStringView text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && kTakenOffTheEnds.Has(text[first].unicode())) {
        ++first;
    }
    while (end > first && kTakenOffTheEnds.Has(text[end - 1].unicode())) {
        --end;
    }
    return text.sliced(first, end - first);
}

qint64 CaptionLineBytes(int columns, const CellTexts& caption) {
    qint64 bytes = LineFrameBytes(columns);
    for (int column = 0; column < columns; ++column) {
        const QString text = caption(column);
        bytes += static_cast<qint64>(
            Utf8Measure::OfUtf16({reinterpret_cast<const char16_t*>(text.utf16()),
                                  static_cast<std::size_t>(text.size())},
                                 kTakenOffTheEnds)
                .BytesBetweenEnds());
    }
    return bytes;
}

// Calls `breathe` whenever the interval has passed, looking at the clock only
// every so many rows; false once `breathe` has said the rows changed.
class Breather {
  public:
    explicit Breather(const std::function<bool()>& breathe) : breathe_(breathe) {}

    bool RowDone() { return ++rows_ % kRowsBetweenClockReadings != 0 || StepDone(); }

    bool StepDone() {
        if (!breathe_ || std::chrono::steady_clock::now() - last_ < kBreathingInterval) {
            return true;
        }
        const bool goOn = breathe_();
        last_ = std::chrono::steady_clock::now();
        return goOn;
    }

  private:
    const std::function<bool()>& breathe_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
    int rows_ = 0;
};

// Sized by the rows, without making the texts, and in the order the rows
// were given rather than as shown: the sum is the same, and a sorted list of
// millions of rows, read in its shown order, would wait on memory at every
// row. False if the rows changed before every row was sized.
bool AddRowBytes(const ReportListModel& rows, const RowRuns& runs,
                 const std::function<bool()>& breathe, qint64& bytes) {
    const ReportRows& given = rows.Rows();
    std::vector<bool> selected(given.RowCount());
    for (const RowRun& run : runs) {
        for (int row = run.first; row <= run.last; ++row) {
            selected[rows.SourceRow(row)] = true;
        }
        bytes += static_cast<qint64>(run.last - run.first + 1) * LineFrameBytes(rows.columnCount());
    }
    Breather breather(breathe);
    const std::size_t parts = std::max<std::size_t>(1, selected.size() / kRowsSizedAtOnce);
    for (std::size_t part = 0; part < parts; ++part) {
        bytes += static_cast<qint64>(
            given.Utf8SizeBetweenEnds(selected, part, parts, rows.columnCount(), kTakenOffTheEnds));
        if (!breather.StepDone()) {
            return false;
        }
    }
    return true;
}

// False if the rows changed before every row was done.
template <typename RowAction>
bool ForEachRow(const RowRuns& runs, const std::function<bool()>& breathe, RowAction action) {
    Breather breather(breathe);
    for (const RowRun& run : runs) {
        for (int row = run.first; row <= run.last; ++row) {
            action(row);
            if (!breather.RowDone()) {
                return false;
            }
        }
    }
    return true;
}

// Runs of characters that need no escaping go in whole.
void AppendEscaped(QString& html, QStringView text) {
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QStringView entity;
        switch (text[i].unicode()) {
            case u'&':
                entity = u"&amp;";
                break;
            case u'<':
                entity = u"&lt;";
                break;
            case u'>':
                entity = u"&gt;";
                break;
            case u'"':
                entity = u"&quot;";
                break;
            default:
                continue;
        }
        html += text.sliced(plainFrom, i - plainFrom);
        html += entity;
        plainFrom = i + 1;
    }
    html += text.sliced(plainFrom);
}

// Writes the lines of the plain text and the rows of the HTML table side by
// side. Lines gather in a short text that is encoded whenever it grows long,
// so that the whole copy is held once, in UTF-8, and encoded in large steps.
class CopyWriter {
  public:
    explicit CopyWriter(qint64 plainBytes) {
        plain_.reserve(plainBytes);
        html_.reserve(plainBytes * 2);
        htmlLines_ += u"<html><head><meta charset=\"utf-8\"></head><body><table>\n";
    }

    void AddLine(int columns, const CellTexts& cell, bool captions) {
        htmlLines_ += u"<tr>";
        for (int column = 0; column < columns; ++column) {
            if (column > 0) {
                plainLines_ += kCellSeparator;
            }
            const qsizetype start = plainLines_.size();
            plainLines_ += CopiedPart(cell(column));
            QChar* copied = plainLines_.data();
            std::replace_if(
                copied + start, copied + plainLines_.size(),
                [](QChar c) { return kBecomesSpace.Has(c.unicode()); }, QChar(u' '));
            htmlLines_ += captions ? u"<th>" : u"<td>";
            AppendEscaped(htmlLines_, QStringView(plainLines_).sliced(start));
            htmlLines_ += captions ? u"</th>" : u"</td>";
        }
        plainLines_ += kLineEnd;
        htmlLines_ += u"</tr>\n";
        if (htmlLines_.size() >= kLinesEncodedAtOnce) {
            EncodeLines();
        }
    }

    CopiedRows Finish(qint64 plainBytes) {
        htmlLines_ += u"</table></body></html>\n";
        EncodeLines();
        return {CopyOutcome::Copied, plainBytes, std::move(plain_), std::move(html_)};
    }

  private:
    static constexpr qsizetype kLinesEncodedAtOnce = 64 * 1024;

    // Lines end in an ASCII character, so no surrogate pair is ever split here.
    void EncodeLines() {
        plain_ += plainLines_.toUtf8();
        html_ += htmlLines_.toUtf8();
        // Emptied by size, which keeps the memory for the next lines.
        plainLines_.resize(0);
        htmlLines_.resize(0);
    }

    QByteArray plain_;
    QByteArray html_;
    QString plainLines_;
    QString htmlLines_;
};

}  // namespace

CopiedRows CopyRows(const ReportListModel& rows, const RowRuns& runs, qint64 mostBytes,
                    const std::function<bool()>& breathe) {
    const int columns = rows.columnCount();
    const CellTexts caption = [&rows](int column) {
        return rows.headerData(column, Qt::Horizontal).toString();
    };
    const auto cellsOf = [&rows](int row) {
        return CellTexts([&rows, row](int column) { return rows.Text(row, column); });
    };

    qint64 plainBytes = CaptionLineBytes(columns, caption);
    if (!AddRowBytes(rows, runs, breathe, plainBytes)) {
        return {CopyOutcome::RowsChanged, plainBytes, {}, {}};
    }
    if (plainBytes > mostBytes) {
        return {CopyOutcome::TooLarge, plainBytes, {}, {}};
    }

    CopyWriter writer(plainBytes);
    writer.AddLine(columns, caption, true);
    if (!ForEachRow(runs, breathe,
                    [&](int row) { writer.AddLine(columns, cellsOf(row), false); })) {
        return {CopyOutcome::RowsChanged, plainBytes, {}, {}};
    }
    return writer.Finish(plainBytes);
}

RowRuns MergeRuns(RowRuns runs) {
    std::sort(runs.begin(), runs.end(),
              [](const RowRun& a, const RowRun& b) { return a.first < b.first; });
    RowRuns merged;
    for (const RowRun& run : runs) {
        if (!merged.isEmpty() && run.first <= merged.last().last + 1) {
            merged.last().last = std::max(merged.last().last, run.last);
        } else {
            merged.append(run);
        }
    }
    return merged;
}

}  // namespace quorvex
