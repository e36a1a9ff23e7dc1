#include "ui/reportlist/reportlistmodel.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace quorvex {

namespace {

std::u16string_view View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString ToQString(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

constexpr char16_t kEllipsis = u'\u2026';

}  // namespace

ReportListModel::ReportListModel(QList<ReportColumn> columns, QObject* parent)
    : QAbstractTableModel(parent),
      columns_(std::move(columns)),
      table_(std::make_shared<TextTable>(static_cast<int>(columns_.size()))),
      lastRowColumns_(table_->ColumnCount()) {
    rows_ = table_;
}

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
            return ShownText(index.row(), index.column());
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
    return ToQString(rows_->Cell(order_[row], column));
}

QString ReportListModel::ShownText(int row, int column) const {
    std::u16string text = rows_->Cell(order_[row], column, kShownCharacters + 1);
    if (text.size() > kShownCharacters) {
        const std::size_t shown = FirstCharacters(text, kShownCharacters).size();
        if (shown < text.size()) {
            text.resize(shown);
            text += kEllipsis;
        }
    }
    return ToQString(text);
}

// Walks the rows from `start` with only as much of each text as the
// search needs, so that typing in a list of millions of rows stays quick.
QModelIndexList ReportListModel::match(const QModelIndex& start, int role, const QVariant& value,
                                       int hits, Qt::MatchFlags flags) const {
    const Qt::MatchFlags kind = flags & Qt::MatchTypeMask;
    if (role != Qt::DisplayRole || kind != Qt::MatchStartsWith || (flags & Qt::MatchRecursive) ||
        !start.isValid() || start.model() != this) {
        return QAbstractTableModel::match(start, role, value, hits, flags);
    }
    const QString prefix = value.toString();
    const Qt::CaseSensitivity sensitivity =
        (flags & Qt::MatchCaseSensitive) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const auto prefixLength = static_cast<std::size_t>(prefix.size());
    const int rows = rowCount();
    const int passes = (flags & Qt::MatchWrap) ? 2 : 1;
    QModelIndexList found;
    for (int pass = 0; pass < passes; ++pass) {
        const int from = pass == 0 ? start.row() : 0;
        const int to = pass == 0 ? rows : start.row();
        for (int row = from; row < to && (hits < 0 || found.size() < hits); ++row) {
            const std::u16string text = rows_->Cell(order_[row], start.column(), prefixLength);
            if (QStringView(text.data(), static_cast<qsizetype>(text.size()))
                    .startsWith(prefix, sensitivity)) {
                found.append(index(row, start.column()));
            }
        }
    }
    return found;
}

void ReportListModel::RemoveAllRows() {
    beginResetModel();
    // A fresh table gives the memory of a large list back, which clearing keeps.
    table_ = std::make_shared<TextTable>(static_cast<int>(columns_.size()));
    rows_ = table_;
    order_ = {};
    lastRowColumns_ = table_->ColumnCount();
    lastRowViewRow_ = -1;
    endResetModel();
}

// Rows that make their texts are written out as texts before a row is
// appended to them.
TextTable& ReportListModel::AppendableTable() {
    if (rows_ != table_) {
        auto table = std::make_shared<TextTable>(static_cast<int>(columns_.size()));
        for (std::size_t row = 0; row < rows_->RowCount(); ++row) {
            table->AppendRow(rows_->Cell(row, 0));
            for (int column = 1; column < table->ColumnCount(); ++column) {
                table->AddColumnText(rows_->Cell(row, column));
            }
        }
        table_ = table;
        rows_ = table_;
    }
    return *table_;
}

void ReportListModel::AppendRow(const QString& firstText) {
    TextTable& table = AppendableTable();
    const int tableRow = static_cast<int>(table.RowCount());
    const int viewRow =
        sorted_ ? SortedPlace(CellText(sortKey_ == 0 ? View(firstText) : u""), tableRow, -1)
                : static_cast<int>(order_.size());
    beginInsertRows({}, viewRow, viewRow);
    table.AppendRow(View(firstText));
    order_.insert(order_.begin() + viewRow, static_cast<std::uint32_t>(tableRow));
    lastRowColumns_ = 1;
    lastRowViewRow_ = viewRow;
    endInsertRows();
}

void ReportListModel::AddColumnText(const QString& text) {
    if (rows_ != table_ || table_->RowCount() == 0 || lastRowColumns_ >= table_->ColumnCount()) {
        return;
    }
    const int column = lastRowColumns_++;
    table_->AddColumnText(View(text));
    int viewRow = LastRowViewRow();
    if (sorted_ && column == sortKey_) {
        viewRow = MoveToSortedPlace(viewRow);
    }
    if (column < columnCount()) {
        const QModelIndex cell = index(viewRow, column);
        emit dataChanged(cell, cell, {Qt::DisplayRole});
    }
}

void ReportListModel::ReplaceRows(std::shared_ptr<const ReportRows> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    table_ = std::dynamic_pointer_cast<TextTable>(std::const_pointer_cast<ReportRows>(rows_));
    order_ = {};
    order_.resize(rows_->RowCount());
    std::iota(order_.begin(), order_.end(), 0u);
    if (sorted_) {
        SortAllRows();
    }
    lastRowColumns_ = rows_->ColumnCount();
    lastRowViewRow_ = -1;
    endResetModel();
}

void ReportListModel::ReplaceRows(TextTable rows) {
    ReplaceRows(std::make_shared<TextTable>(std::move(rows)));
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
    return table_->Text(static_cast<std::size_t>(tableRow), sortKey_);
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
    rows_->SortRows(sortKey_, sortOrder_ != 0, order_);
    lastRowViewRow_ = -1;
}

void ReportListModel::Resort() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> tableRows;
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
        const auto lastTableRow = static_cast<std::uint32_t>(table_->RowCount() - 1);
        lastRowViewRow_ = static_cast<int>(std::find(order_.begin(), order_.end(), lastTableRow) -
                                           order_.begin());
    }
    return lastRowViewRow_;
}

// The last row got its key text after it was placed by an empty key; it moves
// to where that text belongs. The other rows are still in order, so one
// binary search finds the place.
int ReportListModel::MoveToSortedPlace(int viewRow) {
    const int tableRow = static_cast<int>(order_[viewRow]);
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
