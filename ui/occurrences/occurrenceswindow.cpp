#include "ui/occurrences/occurrenceswindow.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <new>
#include <span>
#include <system_error>

#include "analysis/occurrences/occurrencesearch.h"
#include "analysis/text/codepage.h"
#include "ui/occurrences/dispersionplot.h"
#include "ui/occurrences/occurrencestexts.h"
#include "ui/reportlist/busycursor.h"
#include "ui/reportlist/reportlist.h"

namespace quorvex {

namespace {

constexpr std::size_t kLongestShownWord = 40;
constexpr int kContextMinimum = static_cast<int>(ConcordanceRows::kNarrowestContext);
constexpr int kContextMaximum = static_cast<int>(ConcordanceRows::kWidestContext);
constexpr int kContextStep = 10;
constexpr int kContextDefault = static_cast<int>(ConcordanceRows::kDefaultContext);
constexpr int kProgressScale = 1000;
// A list's settings before its first header click: not sorted, and set to
// descending so that the first click sorts ascending.
constexpr int kInitialSortOrder = 1;

using ConcordanceColumn = ConcordanceRows::Column;
using HeadingColumn = HeadingCountRows::Column;

struct ColumnDesign {
    int column;
    QString (*caption)();
    Qt::Alignment alignment;
    int widthPixels;
};

// The Left column is right-aligned, so that every occurrence's word starts
// at the same place. Left and Right are as wide as the context width.
// clang-format off
constexpr ColumnDesign kConcordanceDesign[] = {
    {IndexOf(ConcordanceColumn::Heading),   occurrencestext::ColumnHeading,   Qt::AlignLeft,  180},
    {IndexOf(ConcordanceColumn::Reference), occurrencestext::ColumnReference, Qt::AlignLeft,   70},
    {IndexOf(ConcordanceColumn::Left),      occurrencestext::ColumnLeft,      Qt::AlignRight,   0},
    {IndexOf(ConcordanceColumn::Word),      occurrencestext::ColumnWord,      Qt::AlignLeft,  100},
    {IndexOf(ConcordanceColumn::Right),     occurrencestext::ColumnRight,     Qt::AlignLeft,    0},
};
// clang-format on

constexpr bool DesignsEveryColumnInOrder(std::span<const ColumnDesign> design, int columnCount) {
    for (std::size_t place = 0; place < design.size(); ++place) {
        if (design[place].column != static_cast<int>(place)) {
            return false;
        }
    }
    return design.size() == static_cast<std::size_t>(columnCount);
}
static_assert(DesignsEveryColumnInOrder(kConcordanceDesign, ConcordanceRows::kColumnCount));

QList<ReportColumn> ConcordanceColumns() {
    QList<ReportColumn> columns;
    for (const ColumnDesign& column : kConcordanceDesign) {
        columns.append({column.caption(), column.alignment});
    }
    return columns;
}

// Heading, Words, and for each word its count and its count per 10,000
// words, numbers aligned to the right.
QList<ReportColumn> HeadingCountColumns(const std::vector<std::string>& words,
                                        const NumberSeparators& separators) {
    QList<ReportColumn> columns(HeadingCountRows::CountColumn(words.size()));
    columns[IndexOf(HeadingColumn::Heading)] = {occurrencestext::ColumnHeading(), Qt::AlignLeft};
    columns[IndexOf(HeadingColumn::Words)] = {occurrencestext::ColumnWords(), Qt::AlignRight};
    const QString tenThousand =
        QString::fromStdU16String(FormatGrouped(HeadingCountRows::kRateBase, separators));
    for (std::size_t word = 0; word < words.size(); ++word) {
        const QString shown = ShownWord(words[word]);
        columns[HeadingCountRows::CountColumn(word)] = {shown, Qt::AlignRight};
        columns[HeadingCountRows::PerTenThousandColumn(word)] = {
            occurrencestext::ColumnPerTenThousand().arg(shown, tenThousand), Qt::AlignRight};
    }
    return columns;
}

QStringList ShownWords(const std::vector<std::string>& words) {
    QStringList shown;
    for (const std::string& word : words) {
        shown.append(ShownWord(word));
    }
    return shown;
}

// Header clicks flip one direction per list, shared by all its columns.
void SortByClickedColumn(ReportList* list, int index) {
    list->SetSortSettings(index - 1, true, list->SortOrder() == 0 ? 1 : 0);
}

}  // namespace

QString ShownWord(const std::string& word) {
    if (word.size() <= kLongestShownWord) {
        return QString::fromLatin1(word);
    }
    return QString::fromLatin1(word.data(), kLongestShownWord) + QChar(u'\u2026');
}

OccurrencesWindow::OccurrencesWindow(std::shared_ptr<const DocumentBytes> document,
                                     std::int64_t length, std::vector<std::string> words,
                                     NumberSeparators separators)
    : QMainWindow(nullptr), words_(std::move(words)), separators_(std::move(separators)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(occurrencestext::WindowCaption().arg(
        ShownWords(words_).join(occurrencestext::WordSeparator())));
    BuildLayout();
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    StartSearch(std::move(document), length);
}

OccurrencesWindow::~OccurrencesWindow() {
    StopSearch();
}

void OccurrencesWindow::BuildLayout() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    progress_ = new QProgressBar(central);
    progress_->setRange(0, kProgressScale);
    progress_->setAccessibleName(occurrencestext::ProgressName());
    layout->addWidget(progress_);

    auto* splitter = new QSplitter(Qt::Vertical, central);
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter, 1);

    plot_ = new DispersionPlot(words_.size(), splitter);
    connect(plot_, &DispersionPlot::OccurrenceClicked, this, &OccurrencesWindow::SelectOccurrence);
    splitter->addWidget(plot_);

    auto* concordancePane = new QWidget(splitter);
    auto* concordanceLayout = new QVBoxLayout(concordancePane);
    concordanceLayout->setContentsMargins(0, 0, 0, 0);
    auto* contextRow = new QHBoxLayout;
    auto* contextCaption = new QLabel(occurrencestext::ContextCaption(), concordancePane);
    contextWidth_ = new QSpinBox(concordancePane);
    contextWidth_->setRange(kContextMinimum, kContextMaximum);
    contextWidth_->setSingleStep(kContextStep);
    contextWidth_->setValue(kContextDefault);
    contextWidth_->setSuffix(occurrencestext::ContextSuffix());
    contextWidth_->setAccessibleName(occurrencestext::ContextCaption());
    contextCaption->setBuddy(contextWidth_);
    contextRow->addWidget(contextCaption);
    contextRow->addWidget(contextWidth_);
    contextRow->addStretch(1);
    concordanceLayout->addLayout(contextRow);
    concordance_ = AddList(ConcordanceColumns(), occurrencestext::ConcordanceName());
    concordance_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const ColumnDesign& column : kConcordanceDesign) {
        concordance_->SetColumnWidthPixels(column.column, column.widthPixels);
    }
    FitContextColumns(kContextDefault);
    concordanceLayout->addWidget(concordance_, 1);
    wholeLine_ = new QLineEdit(concordancePane);
    wholeLine_->setReadOnly(true);
    wholeLine_->setAccessibleName(occurrencestext::WholeLineName());
    concordanceLayout->addWidget(wholeLine_);
    splitter->addWidget(concordancePane);

    headingCounts_ =
        AddList(HeadingCountColumns(words_, separators_), occurrencestext::HeadingCountsName());
    headingCounts_->SetColumnWidthPixels(IndexOf(HeadingColumn::Heading), 240);
    // A number column is as wide as its caption.
    for (int column = IndexOf(HeadingColumn::Words);
         column < headingCounts_->model()->columnCount(); ++column) {
        headingCounts_->setColumnWidth(column, headingCounts_->header()->sectionSizeHint(column));
    }
    splitter->addWidget(headingCounts_);
    splitter->setStretchFactor(1, 3);
    splitter->setStretchFactor(2, 1);

    connect(contextWidth_, &QSpinBox::valueChanged, this, &OccurrencesWindow::SetContextWidth);
    connect(concordance_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &OccurrencesWindow::ShowWholeLine);
    connect(headingCounts_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &OccurrencesWindow::SelectHeadingsFirstOccurrence);
    resize(960, 720);
}

ReportList* OccurrencesWindow::AddList(QList<ReportColumn> columns, const QString& name) {
    auto* list = new ReportList(std::move(columns), this);
    list->setAccessibleName(name);
    list->SetSortSettings(0, false, kInitialSortOrder);
    list->SetSortCommandsOffered(true);
    connect(list, &ReportList::ColumnClick, this,
            [list](int index) { SortByClickedColumn(list, index); });
    connect(list, &ReportList::Problem, this, &OccurrencesWindow::Problem);
    return list;
}

// What the search finds, or its lack of memory, comes back to the window's
// own thread, where the rows and the plot are made of it.
void OccurrencesWindow::StartSearch(std::shared_ptr<const DocumentBytes> document,
                                    std::int64_t length) {
    try {
        search_ = std::thread([this, document = std::move(document), length] {
            const auto progress = [this](std::int64_t read, std::int64_t total) {
                QMetaObject::invokeMethod(
                    this, [this, read, total] { ShowProgress(read, total); }, Qt::QueuedConnection);
                return stopRequested_ ? RunControl::Stop : RunControl::Continue;
            };
            try {
                std::shared_ptr<const Occurrences> found =
                    FindOccurrences(document, length, words_, progress);
                if (found != nullptr) {
                    QMetaObject::invokeMethod(
                        this, [this, found] { ShowOccurrences(found); }, Qt::QueuedConnection);
                }
            } catch (const std::bad_alloc&) {
                QMetaObject::invokeMethod(
                    this, [this] { RefuseWithoutMemory(); }, Qt::QueuedConnection);
            }
        });
    } catch (const std::system_error&) {
        // No thread without the memory for its stack; the message waits for
        // whoever listens to the window once it is made.
        QMetaObject::invokeMethod(
            this, [this] { RefuseWithoutMemory(); }, Qt::QueuedConnection);
    }
}

void OccurrencesWindow::StopSearch() {
    stopRequested_ = true;
    if (search_.joinable()) {
        search_.join();
    }
}

void OccurrencesWindow::closeEvent(QCloseEvent* event) {
    stopRequested_ = true;
    event->accept();
}

void OccurrencesWindow::ShowProgress(std::int64_t read, std::int64_t total) {
    if (total > 0) {
        progress_->setValue(static_cast<int>(read * kProgressScale / total));
    }
}

// The rows and the plot are made in full before any of them is shown. A
// window closed meanwhile shows nothing.
void OccurrencesWindow::ShowOccurrences(std::shared_ptr<const Occurrences> found) {
    if (stopRequested_) {
        return;
    }
    const BusyCursor busy;
    try {
        auto concordance = std::make_shared<ConcordanceRows>(
            found, static_cast<std::size_t>(contextWidth_->value()));
        auto headings = std::make_shared<const HeadingCountRows>(found, separators_);
        ReportListModel::PreparedRows concordanceRows = concordance_->Rows().Prepare(concordance);
        ReportListModel::PreparedRows headingRows = headingCounts_->Rows().Prepare(headings);
        plot_->ShowOccurrences(found, ShownWords(words_), separators_);
        concordanceRows_ = std::move(concordance);
        headingRows_ = std::move(headings);
        concordance_->Rows().Commit(std::move(concordanceRows));
        headingCounts_->Rows().Commit(std::move(headingRows));
        FitNumberColumns();
        // The first occurrence is selected, so that its whole line shows.
        SelectOccurrence(0);
    } catch (const std::bad_alloc&) {
        RefuseWithoutMemory();
        return;
    }
    progress_->hide();
}

void OccurrencesWindow::RefuseWithoutMemory() {
    if (stopRequested_) {
        return;
    }
    close();
    emit Problem(occurrencestext::FailedTitle(), occurrencestext::WithoutMemory());
}

// The same rows in the same order make other texts: the selection stays.
void OccurrencesWindow::SetContextWidth(int characters) {
    FitContextColumns(characters);
    if (concordanceRows_ != nullptr) {
        concordanceRows_->SetContextWidth(static_cast<std::size_t>(characters));
        concordance_->Rows().ShowChangedCells();
    }
}

// Both sides are as wide as their context in the list's fixed-pitch font, so
// that a cell is cut by the context width and not by its column: a Left cell
// cut at its right end would lose the text next to the word.
void OccurrencesWindow::FitContextColumns(int characters) {
    constexpr int kCellMargins = 12;
    const int width =
        concordance_->fontMetrics().horizontalAdvance(QString(characters, u'M')) + kCellMargins;
    concordance_->setColumnWidth(IndexOf(ConcordanceColumn::Left), width);
    concordance_->setColumnWidth(IndexOf(ConcordanceColumn::Right), width);
}

// A number column is as wide as its caption or its numbers, which are padded
// to one width, so the first rows the view measures tell.
void OccurrencesWindow::FitNumberColumns() {
    for (int column = IndexOf(HeadingColumn::Words);
         column < headingCounts_->model()->columnCount(); ++column) {
        headingCounts_->resizeColumnToContents(column);
    }
}

void OccurrencesWindow::SelectOccurrence(std::size_t occurrence) {
    // Row r of the concordance shows occurrence r.
    const int row = concordance_->Rows().ShownRow(occurrence);
    if (row >= concordance_->RowCount()) {
        return;
    }
    const QModelIndex cell = concordance_->model()->index(row, 0);
    concordance_->selectionModel()->setCurrentIndex(
        cell, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    concordance_->scrollTo(cell, QAbstractItemView::PositionAtCenter);
}

void OccurrencesWindow::SelectHeadingsFirstOccurrence() {
    const QModelIndex current = headingCounts_->currentIndex();
    if (!current.isValid() || concordanceRows_ == nullptr) {
        return;
    }
    const std::size_t heading =
        headingRows_->HeadingAt(headingCounts_->Rows().SourceRow(current.row()));
    const std::size_t first = concordanceRows_->Found().FirstUnder(heading);
    if (first < concordanceRows_->Found().size()) {
        SelectOccurrence(first);
    }
}

void OccurrencesWindow::ShowWholeLine() {
    const QModelIndex current = concordance_->currentIndex();
    if (!current.isValid() || concordanceRows_ == nullptr) {
        wholeLine_->clear();
        return;
    }
    std::u16string line;
    AppendWindows1252(
        line, concordanceRows_->Found().LineText(concordance_->Rows().SourceRow(current.row())),
        ReportListModel::kShownCharacters + 1);
    if (line.size() > ReportListModel::kShownCharacters) {
        line.resize(ReportListModel::kShownCharacters);
        line += u'\u2026';
    }
    wholeLine_->setText(QString::fromStdU16String(line));
    wholeLine_->setCursorPosition(0);
}

}  // namespace quorvex
