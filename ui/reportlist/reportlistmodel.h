#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <memory>
#include <vector>

#include "analysis/rows/reportrows.h"
#include "analysis/rows/texttable.h"
#include "ui/reportlist/reportcolumn.h"

namespace quorvex {

// The rows of a report list. The rows are an engine's ReportRows, which make
// a cell's text only when it is shown (no QString per cell, so millions of
// rows stay cheap); a permutation maps the rows as shown to the rows as
// appended, which is all that sorting rearranges.
//
// A cell shows at most kShownCharacters characters, followed by U+2026 when
// its text is longer: the toolkit cannot lay out a text of hundreds of
// megabytes. Text() gives the whole text, and sorting compares whole texts.
//
// While Sorted is true the rows are kept in key order: every setting change
// re-sorts, and appended rows take their sorted place. Keys compare code unit
// by code unit, so right-aligned padded numbers sort by value; rows with equal
// keys keep the order in which they were appended, in either direction.
class ReportListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    static constexpr std::size_t kShownCharacters = 4096;

    explicit ReportListModel(QList<ReportColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Type-ahead search, without making a whole text for every row it passes.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith |
                                                                Qt::MatchWrap)) const override;

    void RemoveAllRows();
    void AppendRow(const QString& firstText);
    // Adds the next column's text to the last appended row.
    void AddColumnText(const QString& text);
    // Takes whole rows in one reset, sorted once. The last row counts as
    // complete: filling goes on with AppendRow.
    void ReplaceRows(std::shared_ptr<const ReportRows> rows);
    void ReplaceRows(TextTable rows);
    // The whole text of a cell, in the current order.
    QString Text(int row, int column) const;
    // The text of a cell as the list shows it.
    QString ShownText(int row, int column) const;

    // The key column, counted from 0.
    int SortKey() const { return sortKey_; }
    void SetSortKey(int column);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    // 0 ascending, 1 descending.
    int SortOrder() const { return sortOrder_; }
    void SetSortOrder(int order);
    // All three settings at once, with at most one sort.
    void SetSortSettings(int column, bool sorted, int order);

  signals:
    void SortSettingsChanged();

  private:
    TextTable& AppendableTable();
    CellText Key(int tableRow) const;
    bool Precedes(const CellText& keyA, int rowA, const CellText& keyB, int rowB) const;
    int SortedPlace(const CellText& key, int tableRow, int skippedViewRow) const;
    void SortAllRows();
    void Resort();
    void ApplySettingChange();
    int LastRowViewRow();
    int MoveToSortedPlace(int viewRow);

    QList<ReportColumn> columns_;
    std::shared_ptr<const ReportRows> rows_;
    std::shared_ptr<TextTable> table_;  // the rows, while they are filled one by one
    std::vector<std::uint32_t> order_;  // table row of each row as shown
    int lastRowColumns_;                // texts the last appended row has so far
    int lastRowViewRow_ = -1;           // where the last appended row is shown; -1 when not known
    int sortKey_ = 0;
    bool sorted_ = false;
    int sortOrder_ = 0;
};

}  // namespace quorvex
