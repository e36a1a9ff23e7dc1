#include "ui/reportlist/reportlistmodel.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "analysis/rows/texttable.h"

namespace quorvex {

namespace {

QString ToQString(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

constexpr char16_t kEllipsis = u'\u2026';

// The row of `rows` to show at each place under these settings, or nothing
// for the rows as given: a list of millions of rows shown as given then
// holds no order at all. A sort makes its order from nothing: an order
// filled in beforehand would only add to the memory the sort takes.
std::vector<std::uint32_t> OrderOf(const ReportRows& rows, int column, bool sorted, int order) {
    std::vector<std::uint32_t> shown;
    if (sorted) {
        rows.SortRows(column, order != 0, shown);
    }
    return shown;
}

}  // namespace

ReportListModel::ReportListModel(QList<ReportColumn> columns, QObject* parent)
    : QAbstractTableModel(parent),
      columns_(std::move(columns)),
      rows_(std::make_shared<TextTable>(static_cast<int>(columns_.size()))) {}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_->RowCount());
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
    return ToQString(rows_->Cell(SourceRow(row), column));
}

QString ReportListModel::ShownText(int row, int column) const {
    std::u16string text = rows_->Cell(SourceRow(row), column, kShownCharacters + 1);
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
            const std::u16string text = rows_->Cell(SourceRow(row), start.column(), prefixLength);
            if (QStringView(text.data(), static_cast<qsizetype>(text.size()))
                    .startsWith(prefix, sensitivity)) {
                found.append(index(row, start.column()));
            }
        }
    }
    return found;
}

int ReportListModel::ShownRow(std::size_t sourceRow) const {
    if (order_.empty()) {
        return static_cast<int>(std::min(sourceRow, rows_->RowCount()));
    }
    const auto shown = std::find(order_.begin(), order_.end(), sourceRow);
    return static_cast<int>(shown - order_.begin());
}

void ReportListModel::ShowChangedCells() {
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
    }
}

ReportListModel::PreparedRows ReportListModel::Prepare(
    std::shared_ptr<const ReportRows> rows) const {
    std::vector<std::uint32_t> order = OrderOf(*rows, sortKey_, sorted_, sortOrder_);
    return {std::move(rows), std::move(order)};
}

// The rows given back are released after the reset has ended.
void ReportListModel::Commit(PreparedRows prepared) noexcept {
    beginResetModel();
    rows_.swap(prepared.rows);
    order_.swap(prepared.order);
    endResetModel();
}

// The new order is made in full before the layout starts to change.
void ReportListModel::SetSortSettings(int column, bool sorted, int order) {
    const int normalized = order == 0 ? 0 : 1;
    if (column == sortKey_ && sorted == sorted_ && normalized == sortOrder_) {
        return;
    }
    if (sorted) {
        ShowInOrder(OrderOf(*rows_, column, sorted, normalized));
    }
    sortKey_ = column;
    sorted_ = sorted;
    sortOrder_ = normalized;
    emit SortSettingsChanged();
}

// The views keep their selection and current row through persistent
// indexes, which only exist once the layout has begun to change; if they
// cannot be moved, the layout change ends with the old order.
void ReportListModel::ShowInOrder(std::vector<std::uint32_t> order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QModelIndexList before;
    QModelIndexList after;
    try {
        before = persistentIndexList();
        after = MovedIndexes(before, order);
    } catch (...) {
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
        throw;
    }
    changePersistentIndexList(before, after);
    order_.swap(order);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// The persistent indexes are few (a current row, a selection's corners, the
// cells an accessibility client has asked about), so only their rows are
// looked for in the new order, in one pass over it: the inverse of an order
// of millions of rows would take as much memory as the order itself.
QModelIndexList ReportListModel::MovedIndexes(const QModelIndexList& before,
                                              const std::vector<std::uint32_t>& order) const {
    if (before.isEmpty()) {
        return {};
    }
    std::vector<bool> wanted(order.size());
    for (const QModelIndex& moved : before) {
        wanted[SourceRow(moved.row())] = true;
    }
    std::unordered_map<std::uint32_t, int> shownAt;
    shownAt.reserve(static_cast<std::size_t>(before.size()));
    for (std::size_t place = 0; place < order.size(); ++place) {
        if (wanted[order[place]]) {
            shownAt.emplace(order[place], static_cast<int>(place));
        }
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& moved : before) {
        after.append(index(shownAt.at(SourceRow(moved.row())), moved.column()));
    }
    return after;
}

}  // namespace quorvex
