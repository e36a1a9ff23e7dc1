#pragma once

#include <QAction>
#include <QHeaderView>
#include <QList>
#include <QPointer>
#include <QTableView>
#include <memory>
#include <optional>
#include <utility>

#include "analysis/rows/texttable.h"
#include "ui/reportlist/reportcolumn.h"
#include "ui/reportlist/reportlistmodel.h"
#include "ui/reportlist/rowcopy.h"

namespace quorvex {

// A report list: a header of captioned columns over rows of texts. A header
// click only reports the column (ColumnClick); whoever handles it decides
// whether and how the list sorts, through the sort settings. The header's
// arrow shows those settings while the list is sorted. The accessible name is
// the owner's to give, with setAccessibleName.
//
// A table view with rows of one fixed height, styled as a list of rows: a
// tree view keeps some forty bytes for every row it lays out, a gigabyte for
// a list of 26 million words, and lays them all out again after every sort.
// Many rows can be selected. Ctrl+C and the context menu copy the selected
// rows, or all of them, to the clipboard (see CopyRows); the context menu of
// a list that offers sorting also has a "Sort by" command for each column,
// reported as a click on that column's header. Its owner may put commands of
// its own before those. Enter on a row and a double click on a row report
// that row (RowChosen). A cell too narrow for its text shows the text in a
// tooltip.
class ReportList : public QTableView {
    Q_OBJECT

  public:
    explicit ReportList(QList<ReportColumn> columns, QWidget* parent = nullptr);

    QHeaderView* header() const { return horizontalHeader(); }

    ReportListModel& Rows() { return *rows_; }
    const ReportListModel& Rows() const { return *rows_; }

    void ReplaceRows(std::shared_ptr<const ReportRows> rows) {
        rows_->ReplaceRows(std::move(rows));
    }
    void ReplaceRows(TextTable rows) { ReplaceRows(std::make_shared<TextTable>(std::move(rows))); }
    int RowCount() const { return rows_->rowCount(); }
    QString Text(int row, int column) const { return rows_->Text(row, column); }

    int SortKey() const { return rows_->SortKey(); }
    bool Sorted() const { return rows_->Sorted(); }
    int SortOrder() const { return rows_->SortOrder(); }
    // A sort without the memory it needs is reported as a Problem.
    void SetSortSettings(int column, bool sorted, int order);

    // Sets a column to that many device pixels, whatever the screen's scaling.
    void SetColumnWidthPixels(int column, int devicePixels);

    // Whether the context menu offers to sort by each column; off at first.
    void SetSortCommandsOffered(bool offered) { sortCommandsOffered_ = offered; }
    // A command of the owner's on the selected rows, shown first in the
    // context menu, enabled while the owner enables it and rows are selected.
    void AddOwnerCommand(QAction* command) { ownerCommands_.append(command); }

    // The selected rows as shown, in runs of consecutive rows.
    RowRuns SelectedRuns() const;

    // A copy over the size limit, or without the memory it needs, leaves the
    // clipboard as it was and is reported as a Problem.
    void CopySelectedRows();
    void CopyAllRows();

  signals:
    // The clicked column, counted from 1.
    void ColumnClick(int index);
    // A command the list could not carry out, for its owner to tell the user.
    void Problem(const QString& title, const QString& text);
    // Enter on the current row, or a double click on a row, as shown.
    void RowChosen(int row);

  protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    int RowHeight() const;
    void ReportSectionClick(int section);
    void ShowSortIndicator();
    void CopyRuns(const RowRuns& runs);
    std::optional<qint64> CopyToClipboard(const RowRuns& runs);
    QPoint KeyboardMenuPosition() const;
    void ShowCellTip(QHelpEvent* event);

    ReportListModel* rows_;
    bool sortCommandsOffered_ = false;
    QList<QPointer<QAction>> ownerCommands_;
};

}  // namespace quorvex
