#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/rows/reportrows.h"
#include "ui/reportlist/reportcolumn.h"

namespace quorvex {

// The rows of a report list: one of the engine's ReportRows, which make a
// cell's text only when it is shown (no QString per cell, so millions of rows
// stay cheap), seen through a permutation that maps the rows as shown to the
// rows as given, or none while they are shown as given: the table view
// already keeps 8 bytes a row in its row header, and an order would add 4
// more. Sorting rearranges only the permutation.
//
// A cell shows at most kShownCharacters characters, followed by U+2026 when
// its text is longer: the toolkit cannot lay out a text of hundreds of
// megabytes. Text() gives the whole text, and sorting compares whole texts.
//
// While Sorted is true the rows are shown in key order: every setting change
// and every new set of rows sorts them again. Keys compare character by
// character, so right-aligned padded numbers sort by value; rows with equal
// keys keep the order in which they were given, in either direction.
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

    // New rows in the order the current settings give them, not yet shown.
    struct PreparedRows {
        std::shared_ptr<const ReportRows> rows;
        std::vector<std::uint32_t> order;
    };

    // A fill in two steps, so that an owner of several lists can fill them
    // all or none: Prepare does all that can fail (allocating and sorting)
    // and changes nothing; Commit shows the prepared rows in one reset, and
    // cannot fail.
    PreparedRows Prepare(std::shared_ptr<const ReportRows> rows) const;
    void Commit(PreparedRows prepared) noexcept;
    void ReplaceRows(std::shared_ptr<const ReportRows> rows) { Commit(Prepare(std::move(rows))); }
    // The whole text of a cell, in the current order.
    QString Text(int row, int column) const;
    // The rows as given, and which of them is shown at `row`.
    const ReportRows& Rows() const { return *rows_; }
    std::size_t SourceRow(int row) const {
        return order_.empty() ? static_cast<std::size_t>(row) : order_[row];
    }
    // Where the row `sourceRow` of the rows as given is shown, found by one
    // pass over the order: an inverse would take as much memory again.
    int ShownRow(std::size_t sourceRow) const;
    // Tells the views that the rows now make other texts in every cell, the
    // same rows in the same order.
    void ShowChangedCells();
    // The text of a cell as the list shows it.
    QString ShownText(int row, int column) const;

    // The key column, counted from 0.
    int SortKey() const { return sortKey_; }
    bool Sorted() const { return sorted_; }
    // 0 ascending, 1 descending.
    int SortOrder() const { return sortOrder_; }
    // All three settings at once, with at most one sort. A sort that throws
    // leaves the order and the settings as they were.
    void SetSortSettings(int column, bool sorted, int order);

  signals:
    void SortSettingsChanged();

  private:
    void ShowInOrder(std::vector<std::uint32_t> order);
    QModelIndexList MovedIndexes(const QModelIndexList& before,
                                 const std::vector<std::uint32_t>& order) const;

    QList<ReportColumn> columns_;
    std::shared_ptr<const ReportRows> rows_;
    // The row of rows_ shown at each place; empty while they are shown as given.
    std::vector<std::uint32_t> order_;
    int sortKey_ = 0;
    bool sorted_ = false;
    int sortOrder_ = 0;
};

}  // namespace quorvex
