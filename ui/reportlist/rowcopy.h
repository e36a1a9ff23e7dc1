#pragma once

#include <QByteArray>
#include <QList>
#include <functional>

namespace quorvex {

class ReportListModel;

// The most plain text a copy puts on the clipboard, in UTF-8 bytes.
inline constexpr qint64 kMostCopiedBytes = 64LL * 1024 * 1024;

// Rows as shown, first and last of each run of consecutive rows; the runs
// ascend and do not overlap.
struct RowRun {
    int first;
    int last;
};
using RowRuns = QList<RowRun>;

enum class CopyOutcome { Copied, TooLarge, RowsChanged };

// What a copy of rows gives: the size of its plain text in UTF-8 bytes and,
// once copied, the plain text and an HTML table of the same cells. The plain
// text has a line of the column captions, then one line per row, cells
// separated by a tab, every line ending in a line feed. A cell is its whole
// text with tabs, carriage returns and line feeds made spaces and the spaces
// at both ends taken off.
struct CopiedRows {
    CopyOutcome outcome = CopyOutcome::Copied;
    qint64 plainBytes = 0;
    QByteArray plain;
    QByteArray html;
};

// Sizes the copy first, from the sizes the rows tell without making their
// texts, so that a selection over the limit is refused at once. `breathe` is
// called every few hundredths of a second of a long copy, so that the window
// can repaint meanwhile; it gives false if the rows changed meanwhile, which
// ends the copy.
CopiedRows CopyRows(const ReportListModel& rows, const RowRuns& runs, qint64 mostBytes,
                    const std::function<bool()>& breathe);

// The runs that cover the rows of `runs`, which may come in any order and
// overlap or touch.
RowRuns MergeRuns(RowRuns runs);

}  // namespace quorvex
