#include "ui/reportlist/reportlist.h"

#include <QEvent>
#include <QHeaderView>
#include <cmath>

namespace quorvex {

namespace {

constexpr int kRowPadding = 2;

}  // namespace

ReportList::ReportList(QList<ReportColumn> columns, QWidget* parent)
    : QTableView(parent), rows_(new ReportListModel(std::move(columns), this)) {
    setModel(rows_);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight());
    header()->setHighlightSections(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Turning Qt's sorting off also makes the header unclickable and hides the
    // arrow, so both are set again afterwards, under our own control.
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, &ReportList::ReportSectionClick);
    connect(rows_, &ReportListModel::SortSettingsChanged, this, &ReportList::ShowSortIndicator);
    ShowSortIndicator();
}

// One line of the list's font with a little room, as a list row has.
int ReportList::RowHeight() const {
    return fontMetrics().height() + 2 * kRowPadding;
}

void ReportList::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        verticalHeader()->setDefaultSectionSize(RowHeight());
    }
    QTableView::changeEvent(event);
}

void ReportList::SetColumnWidthPixels(int column, int devicePixels) {
    setColumnWidth(column, static_cast<int>(std::lround(devicePixels / devicePixelRatioF())));
}

void ReportList::ReportSectionClick(int section) {
    emit ColumnClick(section + 1);
    // The header flips its own arrow on a click; only the settings decide it.
    ShowSortIndicator();
}

void ReportList::ShowSortIndicator() {
    const bool shown =
        rows_->Sorted() && rows_->SortKey() >= 0 && rows_->SortKey() < rows_->columnCount();
    header()->setSortIndicatorShown(shown);
    if (shown) {
        header()->setSortIndicator(
            rows_->SortKey(), rows_->SortOrder() == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

}  // namespace quorvex
