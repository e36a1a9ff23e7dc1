#include "ui/reportlist/reportlistmodel.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace quorvex {

namespace {

std::u16string_view View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString ToQString(const CellText& text) {
    if (text.IsWide()) {
        return QString(reinterpret_cast<const QChar*>(text.Utf16().data()),
                       static_cast<qsizetype>(text.size()));
    }
    return QString::fromLatin1(text.Latin1().data(), static_cast<qsizetype>(text.size()));
}

// A key taken out of the table once, so that the sort compares contiguous
// entries instead of walking the table's offsets on every comparison.
struct SortEntry {
    CellText key;
    int row;
};

}  // namespace

ReportListModel::ReportListModel(QList<ReportColumn> columns, QObject* parent)
    : QAbstractTableModel(parent),
      columns_(std::move(columns)),
      rows_(static_cast<int>(columns_.size())),
      lastRowColumns_(rows_.ColumnCount()) {}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return Text(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return static_cast<int>(columns_[index.column()].alignment | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return columns_[section].caption;
        case Qt::TextAlignmentRole:
            return static_cast<int>(columns_[section].alignment | Qt::AlignVCenter);
        default:
            return {};
    }
}

QString ReportListModel::Text(int row, int column) const {
    return ToQString(rows_.Text(static_cast<std::size_t>(order_[row]), column));
}

void ReportListModel::RemoveAllRows() {
    beginResetModel();
    // A fresh table gives the memory of a large list back, which clearing keeps.
    rows_ = TextTable(rows_.ColumnCount());
    order_ = {};
    lastRowColumns_ = rows_.ColumnCount();
    lastRowViewRow_ = -1;
    endResetModel();
}

void ReportListModel::AppendRow(const QString& firstText) {
    const int tableRow = static_cast<int>(rows_.RowCount());
    const int viewRow =
        sorted_ ? SortedPlace(CellText(sortKey_ == 0 ? View(firstText) : u""), tableRow, -1)
                : static_cast<int>(order_.size());
    beginInsertRows({}, viewRow, viewRow);
    rows_.AppendRow(View(firstText));
    order_.insert(order_.begin() + viewRow, tableRow);
    lastRowColumns_ = 1;
    lastRowViewRow_ = viewRow;
    endInsertRows();
}

void ReportListModel::AddColumnText(const QString& text) {
    if (rows_.RowCount() == 0 || lastRowColumns_ >= rows_.ColumnCount()) {
        return;
    }
    const int column = lastRowColumns_++;
    rows_.AddColumnText(View(text));
    int viewRow = LastRowViewRow();
    if (sorted_ && column == sortKey_) {
        viewRow = MoveToSortedPlace(viewRow);
    }
    if (column < columnCount()) {
        const QModelIndex cell = index(viewRow, column);
        emit dataChanged(cell, cell, {Qt::DisplayRole});
    }
}

void ReportListModel::ReplaceRows(TextTable rows) {
    beginResetModel();
    rows_ = std::move(rows);
    order_.resize(rows_.RowCount());
    std::iota(order_.begin(), order_.end(), 0);
    if (sorted_) {
        SortAllRows();
    }
    lastRowColumns_ = rows_.ColumnCount();
    lastRowViewRow_ = -1;
    endResetModel();
}

void ReportListModel::SetSortKey(int column) {
    SetSortSettings(column, sorted_, sortOrder_);
}

void ReportListModel::SetSorted(bool sorted) {
    SetSortSettings(sortKey_, sorted, sortOrder_);
}

void ReportListModel::SetSortOrder(int order) {
    SetSortSettings(sortKey_, sorted_, order);
}

void ReportListModel::SetSortSettings(int column, bool sorted, int order) {
    const int normalized = order == 0 ? 0 : 1;
    if (column == sortKey_ && sorted == sorted_ && normalized == sortOrder_) {
        return;
    }
    sortKey_ = column;
    sorted_ = sorted;
    sortOrder_ = normalized;
    ApplySettingChange();
}

void ReportListModel::ApplySettingChange() {
    if (sorted_) {
        Resort();
    }
    emit SortSettingsChanged();
}

CellText ReportListModel::Key(int tableRow) const {
    return rows_.Text(static_cast<std::size_t>(tableRow), sortKey_);
}

bool ReportListModel::Precedes(const CellText& keyA, int rowA, const CellText& keyB,
                               int rowB) const {
    const int comparison = CompareOrdinal(keyA, keyB);
    if (comparison != 0) {
        return sortOrder_ == 0 ? comparison < 0 : comparison > 0;
    }
    return rowA < rowB;
}

// The place a row takes among the sorted rows shown, leaving out the row at
// `skippedViewRow` (the row itself, when it is already shown; -1 for none).
int ReportListModel::SortedPlace(const CellText& key, int tableRow, int skippedViewRow) const {
    const auto tableRowAt = [&](int place) {
        return order_[skippedViewRow < 0 || place < skippedViewRow ? place : place + 1];
    };
    int low = 0;
    int high = static_cast<int>(order_.size()) - (skippedViewRow < 0 ? 0 : 1);
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const int other = tableRowAt(middle);
        if (Precedes(Key(other), other, key, tableRow)) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

void ReportListModel::SortAllRows() {
    std::vector<SortEntry> entries(order_.size());
    for (std::size_t row = 0; row < entries.size(); ++row) {
        entries[row] = {Key(static_cast<int>(row)), static_cast<int>(row)};
    }
    std::sort(entries.begin(), entries.end(), [this](const SortEntry& a, const SortEntry& b) {
        return Precedes(a.key, a.row, b.key, b.row);
    });
    std::transform(entries.begin(), entries.end(), order_.begin(),
                   [](const SortEntry& entry) { return entry.row; });
    lastRowViewRow_ = -1;
}

void ReportListModel::Resort() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> tableRows;
    tableRows.reserve(before.size());
    for (const QModelIndex& index : before) {
        tableRows.push_back(order_[index.row()]);
    }
    SortAllRows();
    if (!before.isEmpty()) {
        std::vector<int> viewRowOf(order_.size());
        for (std::size_t viewRow = 0; viewRow < order_.size(); ++viewRow) {
            viewRowOf[order_[viewRow]] = static_cast<int>(viewRow);
        }
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            after.append(index(viewRowOf[tableRows[i]], before[i].column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ReportListModel::LastRowViewRow() {
    if (lastRowViewRow_ < 0) {
        const int lastTableRow = static_cast<int>(rows_.RowCount()) - 1;
        lastRowViewRow_ = static_cast<int>(std::find(order_.begin(), order_.end(), lastTableRow) -
                                           order_.begin());
    }
    return lastRowViewRow_;
}

// The last row got its key text after it was placed by an empty key; it moves
// to where that text belongs. The other rows are still in order, so one
// binary search finds the place.
int ReportListModel::MoveToSortedPlace(int viewRow) {
    const int tableRow = order_[viewRow];
    const int place = SortedPlace(Key(tableRow), tableRow, viewRow);
    if (place == viewRow) {
        return viewRow;
    }
    beginMoveRows({}, viewRow, viewRow, {}, place > viewRow ? place + 1 : place);
    const auto shown = order_.begin();
    if (place < viewRow) {
        std::rotate(shown + place, shown + viewRow, shown + viewRow + 1);
    } else {
        std::rotate(shown + viewRow, shown + viewRow + 1, shown + place + 1);
    }
    lastRowViewRow_ = place;
    endMoveRows();
    return place;
}

}  // namespace quorvex
