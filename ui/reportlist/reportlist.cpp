#include "ui/reportlist/reportlist.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextDocument>
#include <QToolTip>
#include <cmath>
#include <new>

#include "ui/reportlist/busycursor.h"
#include "ui/reportlist/reportlisttexts.h"

namespace quorvex {

namespace {

constexpr int kRowPadding = 2;

// A long copy lets the window repaint, but takes no input until it is done:
// a click now could change the rows being copied. Assistive technology can
// still act on the window, so the copy also watches the rows themselves.
class RowWatch : public QObject {
  public:
    explicit RowWatch(const QAbstractItemModel* rows) {
        const auto changed = [this] { changed_ = true; };
        connect(rows, &QAbstractItemModel::modelAboutToBeReset, this, changed);
        connect(rows, &QAbstractItemModel::layoutAboutToBeChanged, this, changed);
        connect(rows, &QAbstractItemModel::rowsAboutToBeInserted, this, changed);
        connect(rows, &QAbstractItemModel::rowsAboutToBeRemoved, this, changed);
    }

    // False once the rows have changed.
    bool RepaintMeanwhile() const {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return !changed_;
    }

  private:
    bool changed_ = false;
};

}  // namespace

ReportList::ReportList(QList<ReportColumn> columns, QWidget* parent)
    : QTableView(parent), rows_(new ReportListModel(std::move(columns), this)) {
    setModel(rows_);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight());
    header()->setHighlightSections(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
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

void ReportList::CopySelectedRows() {
    const RowRuns runs = SelectedRuns();
    if (!runs.isEmpty()) {
        CopyRuns(runs);
    }
}

void ReportList::CopyAllRows() {
    if (RowCount() > 0) {
        CopyRuns({{0, RowCount() - 1}});
    }
}

// A selection holds ranges of rows, not rows, so that Ctrl+A on millions of
// rows stays one range.
RowRuns ReportList::SelectedRuns() const {
    RowRuns runs;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        runs.append({range.top(), range.bottom()});
    }
    return MergeRuns(std::move(runs));
}

void ReportList::SetSortSettings(int column, bool sorted, int order) {
    try {
        const BusyCursor busy;
        rows_->SetSortSettings(column, sorted, order);
    } catch (const std::bad_alloc&) {
        emit Problem(QString(listtext::kSortFailedTitle), QString(listtext::kSortWithoutMemory));
    }
}

void ReportList::CopyRuns(const RowRuns& runs) {
    std::optional<qint64> refusedBytes;
    try {
        refusedBytes = CopyToClipboard(runs);
    } catch (const std::bad_alloc&) {
        emit Problem(QString(listtext::kCopyRefusedTitle), QString(listtext::kCopyWithoutMemory));
        return;
    }
    if (refusedBytes) {
        const QLocale locale;
        emit Problem(QString(listtext::kCopyRefusedTitle),
                     QString(listtext::kCopyRefused)
                         .arg(locale.toString(*refusedBytes), locale.toString(kMostCopiedBytes),
                              QString::number(kMostCopiedBytes >> 20)));
    }
}

// Gives the size of a copy refused as too large. The clipboard changes only
// once the whole copy has been made.
std::optional<qint64> ReportList::CopyToClipboard(const RowRuns& runs) {
    const BusyCursor busy;
    const RowWatch watch(rows_);
    const CopiedRows copy =
        CopyRows(*rows_, runs, kMostCopiedBytes, [&watch] { return watch.RepaintMeanwhile(); });
    if (copy.outcome == CopyOutcome::TooLarge) {
        return copy.plainBytes;
    }
    if (copy.outcome == CopyOutcome::Copied) {
        auto data = std::make_unique<QMimeData>();
        data->setData(QStringLiteral("text/plain"), copy.plain);
        data->setData(QStringLiteral("text/html"), copy.html);
        QGuiApplication::clipboard()->setMimeData(data.release());
    }
    return std::nullopt;
}

void ReportList::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelectedRows();
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool unmodified = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (enter && unmodified && currentIndex().isValid()) {
        emit RowChosen(currentIndex().row());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Only a double click reports its row: whether a single click activates a row
// is the desktop's setting, and a single click here only selects.
void ReportList::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex cell = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (cell.isValid() && event->button() == Qt::LeftButton) {
        emit RowChosen(cell.row());
    }
}

void ReportList::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    // The menu's entry stands for the owner's command, which keeps its own
    // enabled state.
    for (QAction* command : std::as_const(ownerCommands_)) {
        if (command != nullptr) {
            QAction* entry = menu.addAction(command->text());
            entry->setEnabled(command->isEnabled() && selectionModel()->hasSelection());
            connect(entry, &QAction::triggered, command, &QAction::trigger);
        }
    }
    if (!menu.isEmpty()) {
        menu.addSeparator();
    }
    QAction* copy = menu.addAction(QString(listtext::kCopyCommand));
    copy->setEnabled(selectionModel()->hasSelection());
    connect(copy, &QAction::triggered, this, &ReportList::CopySelectedRows);
    QAction* copyAll = menu.addAction(QString(listtext::kCopyAllCommand));
    copyAll->setEnabled(RowCount() > 0);
    connect(copyAll, &QAction::triggered, this, &ReportList::CopyAllRows);
    if (sortCommandsOffered_) {
        menu.addSeparator();
        for (int column = 0; column < rows_->columnCount(); ++column) {
            const QString caption = rows_->headerData(column, Qt::Horizontal).toString();
            QAction* sort = menu.addAction(QString(listtext::kSortByCommand).arg(caption));
            connect(sort, &QAction::triggered, this,
                    [this, column] { ReportSectionClick(column); });
        }
    }
    menu.exec(event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                          : KeyboardMenuPosition());
}

// Under the current row when it is in view, else at the top of the rows.
QPoint ReportList::KeyboardMenuPosition() const {
    const QRect row = visualRect(currentIndex());
    const bool inView = row.isValid() && viewport()->rect().intersects(row);
    return viewport()->mapToGlobal(QPoint(0, inView ? row.bottom() : 0));
}

bool ReportList::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        ShowCellTip(static_cast<QHelpEvent*>(event));
        return true;
    }
    return QTableView::viewportEvent(event);
}

// The tip shows the cell's text as the cell shows it, cut where the list cuts
// a long text, and wrapped, since it can be thousands of characters long.
void ReportList::ShowCellTip(QHelpEvent* event) {
    const QModelIndex cell = indexAt(event->pos());
    if (cell.isValid()) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QRect shown = visualRect(cell);
        option.rect = shown;
        if (itemDelegateForIndex(cell)->sizeHint(option, cell).width() > shown.width()) {
            QToolTip::showText(
                event->globalPos(),
                Qt::convertFromPlainText(cell.data().toString(), Qt::WhiteSpaceNormal), viewport(),
                shown);
            return;
        }
    }
    QToolTip::hideText();
    event->ignore();
}

}  // namespace quorvex
