#include "ui/reportlist/reportlistmodel.h"

#include <cstdint>
#include <numeric>

#include "analysis/rows/texttable.h"

namespace quorvex {

namespace {

QString ToQString(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

constexpr char16_t kEllipsis = u'\u2026';

}  // namespace

ReportListModel::ReportListModel(QList<ReportColumn> columns, QObject* parent)
    : QAbstractTableModel(parent),
      columns_(std::move(columns)),
      rows_(std::make_shared<TextTable>(static_cast<int>(columns_.size()))) {}

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

void ReportListModel::ReplaceRows(std::shared_ptr<const ReportRows> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    order_ = {};
    order_.resize(rows_->RowCount());
    std::iota(order_.begin(), order_.end(), 0u);
    if (sorted_) {
        SortAllRows();
    }
    endResetModel();
}

void ReportListModel::SetSortSettings(int column, bool sorted, int order) {
    const int normalized = order == 0 ? 0 : 1;
    if (column == sortKey_ && sorted == sorted_ && normalized == sortOrder_) {
        return;
    }
    sortKey_ = column;
    sorted_ = sorted;
    sortOrder_ = normalized;
    if (sorted_) {
        Resort();
    }
    emit SortSettingsChanged();
}

void ReportListModel::SortAllRows() {
    rows_->SortRows(sortKey_, sortOrder_ != 0, order_);
}

void ReportListModel::Resort() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> givenRows;
    givenRows.reserve(before.size());
    for (const QModelIndex& index : before) {
        givenRows.push_back(order_[index.row()]);
    }
    SortAllRows();
    if (!before.isEmpty()) {
        std::vector<int> shownAt(order_.size());
        for (std::size_t place = 0; place < order_.size(); ++place) {
            shownAt[order_[place]] = static_cast<int>(place);
        }
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            after.append(index(shownAt[givenRows[i]], before[i].column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace quorvex
