#include "ui/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <span>

#include "analysis/occurrences/occurrencesearch.h"
#include "analysis/occurrences/occurrencesearch.h"
#include "analysis/rows/summarytable.h"
#include "loading/sourcefile.h"
#include "ui/appicon.h"
#include "ui/occurrences/occurrencestexts.h"
#include "ui/occurrences/occurrenceswindow.h"
#include "ui/progress/colourvalue.h"
#include "ui/progress/modprogress.h"
#include "ui/progress/progressbar.h"
#include "ui/reportlist/busycursor.h"
#include "ui/reportlist/reportlist.h"
#include "ui/tabcontainer.h"
#include "ui/windowtexts.h"

namespace quorvex {

namespace {

constexpr QSize kClientArea(645, 461);
constexpr QRect kListGeometry(8, 32, 625, 417);
constexpr QRect kProgressGeometry(260, 4, 377, 13);
constexpr double kFontPoints = 8.25;
// Fifty redraws a second look smooth. An immediate repaint takes about a
// millisecond on X11, so drawing more often would slow a large run visibly.
constexpr auto kRedrawInterval = std::chrono::milliseconds(20);

// A list's design settings: not sorted, keyed on its first column, and set
// to descending so that a user's first click on a header sorts ascending.
constexpr int kInitialSortOrder = 1;

enum class WindowList { Summary, Substitution, Unique };

// A column as the window designs it.
struct ColumnDesign {
    WindowList list;
    int column;
    QString (*caption)();
    Qt::Alignment alignment;
    int widthPixels;
};

using SubstitutionColumn = SubstitutionRows::Column;
using UniqueColumn = UniqueWordRows::Column;

// Every column of the three lists, list by list, each list's columns in the
// order of its rows' columns, which the compiler checks below.
// clang-format off
constexpr ColumnDesign kColumnDesigns[] = {
    {WindowList::Summary,      IndexOf(SummaryColumn::Item),              text::ColumnItem,          Qt::AlignLeft,    300},
    {WindowList::Summary,      IndexOf(SummaryColumn::Value),             text::ColumnValue,         Qt::AlignLeft,    300},
    {WindowList::Substitution, IndexOf(SubstitutionColumn::Ascii),        text::ColumnAscii,         Qt::AlignLeft,     80},
    {WindowList::Substitution, IndexOf(SubstitutionColumn::Char),         text::ColumnChar,          Qt::AlignHCenter,  80},
    {WindowList::Substitution, IndexOf(SubstitutionColumn::Count),        text::ColumnCount,         Qt::AlignRight,   100},
    {WindowList::Substitution, IndexOf(SubstitutionColumn::ReplacedWith), text::ColumnReplacedWith,  Qt::AlignLeft,    200},
    {WindowList::Unique,       IndexOf(UniqueColumn::Word),               text::ColumnWord,          Qt::AlignLeft,    100},
    {WindowList::Unique,       IndexOf(UniqueColumn::Count),              text::ColumnCount,         Qt::AlignHCenter, 100},
    {WindowList::Unique,       IndexOf(UniqueColumn::FirstOccurs),        text::ColumnFirstOccurs,   Qt::AlignLeft,    300},
    {WindowList::Unique,       IndexOf(UniqueColumn::OriginalOrder),      text::ColumnOriginalOrder, Qt::AlignLeft,    100},
};
// clang-format on

constexpr std::span<const ColumnDesign> DesignOf(WindowList list) {
    const std::span<const ColumnDesign> all(kColumnDesigns);
    const auto first = std::find_if(
        all.begin(), all.end(), [list](const ColumnDesign& design) { return design.list == list; });
    const auto last = std::find_if(
        first, all.end(), [list](const ColumnDesign& design) { return design.list != list; });
    return {first, last};
}

constexpr bool DesignsEveryColumnInOrder(WindowList list, int columnCount) {
    const std::span<const ColumnDesign> design = DesignOf(list);
    for (std::size_t place = 0; place < design.size(); ++place) {
        if (design[place].column != static_cast<int>(place)) {
            return false;
        }
    }
    return design.size() == static_cast<std::size_t>(columnCount);
}
static_assert(DesignsEveryColumnInOrder(WindowList::Summary, kSummaryColumnCount));
static_assert(DesignsEveryColumnInOrder(WindowList::Substitution, SubstitutionRows::kColumnCount));
static_assert(DesignsEveryColumnInOrder(WindowList::Unique, UniqueWordRows::kColumnCount));

QList<ReportColumn> Columns(std::span<const ColumnDesign> design) {
    QList<ReportColumn> columns;
    for (const ColumnDesign& column : design) {
        columns.append({column.caption(), column.alignment});
    }
    return columns;
}

void SetColumnWidths(ReportList* list, std::span<const ColumnDesign> design) {
    for (const ColumnDesign& column : design) {
        list->SetColumnWidthPixels(column.column, column.widthPixels);
    }
}

NumberSeparators LocaleSeparators() {
    const QLocale locale;
    return {locale.groupSeparator().toStdU16String(), locale.decimalPoint().toStdU16String()};
}

QString ReasonText(const SourceFile& file) {
    switch (file.problem) {
        case ReadProblem::NotFound:
            return text::ReasonNotFound();
        case ReadProblem::AccessDenied:
            return text::ReasonAccessDenied();
        case ReadProblem::IsFolder:
            return text::ReasonIsFolder();
        case ReadProblem::NotRegularFile:
            return text::ReasonNotRegularFile();
        case ReadProblem::TooLarge:
            return text::ReasonTooLarge();
        case ReadProblem::OutOfMemory:
            return text::ReasonOutOfMemory();
        case ReadProblem::ReadFailed:
        case ReadProblem::None:
            break;
    }
    return text::ReasonSystem().arg(QString::fromLocal8Bit(std::strerror(file.systemError)));
}

// Column clicks flip one direction per list, shared by all its columns.
void SortByClickedColumn(ReportList* list, int index) {
    const int order = list->SortOrder() == 0 ? 1 : 0;
    list->SetSortSettings(index - 1, true, order);
}

}  // namespace

frmMain::frmMain(std::unique_ptr<UserDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent), CommonDialog1(std::move(dialogs)) {
    setWindowTitle(text::WindowCaption());
    setWindowIcon(AppIcon());
    BuildMenus();
    BuildTabs();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    Form_Load();
}

frmMain::~frmMain() {
    for (const QPointer<OccurrencesWindow>& window : std::as_const(occurrencesWindows_)) {
        delete window.data();
    }
}

void frmMain::BuildMenus() {
    mnuFile = menuBar()->addMenu(text::MenuFile());
    mnuFileOpen = mnuFile->addAction(text::MenuOpen(), this, &frmMain::mnuFileOpen_Click);
    mnuFileSep1 = mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction(text::MenuExit(), this, &frmMain::mnuFileExit_Click);
    mnuProcessFile =
        menuBar()->addAction(text::MenuProcessFile(), this, &frmMain::mnuProcessFile_Click);
}

void frmMain::BuildTabs() {
    SSTab1 = new TabContainer(this);
    SSTab1->setFixedSize(kClientArea);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(kFontPoints);
    SSTab1->setFont(font);
    setCentralWidget(SSTab1);

    auto addList = [this](const QString& caption, std::span<const ColumnDesign> design) {
        QWidget* page = SSTab1->AddTab(caption);
        auto* list = new ReportList(Columns(design), page);
        list->setGeometry(kListGeometry);
        list->setAccessibleName(caption);
        list->SetSortSettings(0, false, kInitialSortOrder);
        connect(list, &ReportList::Problem, this, &frmMain::ShowProblem);
        return list;
    };
    lvwSummary = addList(text::TabSummary(), DesignOf(WindowList::Summary));
    lvwSubstitution = addList(text::TabSubstitutions(), DesignOf(WindowList::Substitution));
    lvwUnique = addList(text::TabUniqueWords(), DesignOf(WindowList::Unique));

    picProgress = new ProgressBar(lvwSummary->parentWidget());
    picProgress->setGeometry(kProgressGeometry);
    picProgress->setAccessibleName(text::ProgressName());

    // "Sort by" in a list's context menu is a click on that column's header.
    connect(lvwSubstitution, &ReportList::ColumnClick, this, &frmMain::lvwSubstitution_ColumnClick);
    connect(lvwUnique, &ReportList::ColumnClick, this, &frmMain::lvwUnique_ColumnClick);
    lvwSubstitution->SetSortCommandsOffered(true);
    lvwUnique->SetSortCommandsOffered(true);

    mnuShowOccurrences = new QAction(text::CommandShowOccurrences(), this);
    connect(mnuShowOccurrences, &QAction::triggered, this, &frmMain::mnuShowOccurrences_Click);
    lvwUnique->AddOwnerCommand(mnuShowOccurrences);
    connect(lvwUnique, &ReportList::RowChosen, this, &frmMain::lvwUnique_RowChosen);
}

void frmMain::Form_Load() {
    mnuProcessFile->setEnabled(false);
    mnuShowOccurrences->setEnabled(false);
    SetColumnWidths(lvwSummary, DesignOf(WindowList::Summary));
    SetColumnWidths(lvwSubstitution, DesignOf(WindowList::Substitution));
    SetColumnWidths(lvwUnique, DesignOf(WindowList::Unique));
    picProgress->hide();
}

void frmMain::mnuFileOpen_Click() {
    const std::optional<QString> path = CommonDialog1->ChooseSourceFile(this);
    if (path) {
        LoadSourceFile(*path);
    }
}

// The document's name, length and bytes change only when a new file has been
// read whole; a file that cannot be read leaves everything as it was.
void frmMain::LoadSourceFile(const QString& path) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    if (stopRequested_) {
        QApplication::restoreOverrideCursor();
        return;
    }
    SourceFile file = ReadSourceFile(QFile::encodeName(path).toStdString());
    if (file.problem != ReadProblem::None) {
        QApplication::restoreOverrideCursor();
        ShowProblem(text::LoadFailedTitle(), text::LoadFailed().arg(path, ReasonText(file)));
        return;
    }

    CloseOccurrencesWindows();
    SetUniqueWordsOfLoadedDocument(false);
    state_.SourceFileName = path.toStdU16String();
    state_.SourceLength = file.length;
    if (file.length > 0) {
        state_.SourceBytes = std::make_shared<const DocumentBytes>(std::move(file.bytes));
        mnuProcessFile->setEnabled(true);
    }
    lvwSummary->ReplaceRows(
        SummaryOfLoadedDocument(state_.SourceFileName, state_.SourceLength, LocaleSeparators()));

    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
}

void frmMain::mnuFileExit_Click() {
    close();
}

// Clicks and keys that arrived while the lists were filled are delivered to
// the still disabled controls, which drop them, before the controls are
// enabled again: nobody asked for what they would do now.
void frmMain::mnuProcessFile_Click() {
    CloseOccurrencesWindows();
    mnuShowOccurrences->setEnabled(false);
    SetRunning(true);
    AnalyseDocument();
    QCoreApplication::processEvents();
    if (!stopRequested_) {
        SetRunning(false);
        SetUniqueWordsOfLoadedDocument(uniqueShowsLoadedDocument_);
    }
}

void frmMain::SetRunning(bool running) {
    mnuFile->menuAction()->setEnabled(!running);
    mnuProcessFile->setEnabled(!running);
    if (running) {
        focusBeforeRun_.emplace(this, CurrentList());
    }
    SSTab1->setEnabled(!running);
    if (!running) {
        focusBeforeRun_.reset();
    }
}

ReportList* frmMain::CurrentList() const {
    const std::array lists{lvwSummary, lvwSubstitution, lvwUnique};
    return lists.at(SSTab1->CurrentTab());
}

void frmMain::AnalyseDocument() {
    try {
        std::optional<ResultLists> lists =
            quorvex::AnalyseDocument(state_, *this, LocaleSeparators());
        if (lists) {
            ShowResults(std::move(*lists));
        }
    } catch (const std::bad_alloc&) {
        ReportFailedRun(text::ReasonNoMemoryForWords());
    } catch (const std::exception& error) {
        ReportFailedRun(QString::fromLocal8Bit(error.what()));
    }
}

// All three lists are prepared, which is all that can fail, before any of
// them changes; a run that fails leaves every list, its sort settings and its
// selection as they were.
void frmMain::ShowResults(ResultLists lists) {
    const BusyCursor busy;
    ReportListModel::PreparedRows summary =
        lvwSummary->Rows().Prepare(std::make_shared<TextTable>(std::move(lists.summary)));
    ReportListModel::PreparedRows substitution = lvwSubstitution->Rows().Prepare(
        std::make_shared<SubstitutionRows>(std::move(lists.substitution)));
    ReportListModel::PreparedRows unique =
        lvwUnique->Rows().Prepare(std::make_shared<UniqueWordRows>(std::move(lists.unique)));
    lvwSummary->Rows().Commit(std::move(summary));
    lvwSubstitution->Rows().Commit(std::move(substitution));
    lvwUnique->Rows().Commit(std::move(unique));
    uniqueShowsLoadedDocument_ = true;
}

// The failed run's words are given back before the message shows; the lists
// keep the rows of the run before, and their own words with them.
void frmMain::ReportFailedRun(const QString& reason) {
    DiscardRunResults(state_);
    picProgress->hide();
    ShowProblem(text::RunFailedTitle(), text::RunFailed().arg(reason));
}

// A message box blocks the window, and the toolkit drops a close request
// made to a blocked window. A close the window system held back as user
// input while a copy went on is therefore taken before the box shows; once
// the window is closing, nothing is shown.
void frmMain::ShowProblem(const QString& title, const QString& text) {
    ShowProblemOver(this, title, text);
}

// A message of an Occurrences window shows over it while it is open.
void frmMain::ShowProblemOver(QWidget* window, const QString& title, const QString& text) {
    QCoreApplication::processEvents();
    if (!stopRequested_) {
        CommonDialog1->ShowProblem(window, title, text);
    }
}

// The window system asked the window to close, perhaps while a dialog
// blocked it: the window closes first, so that nothing is left to use when
// the dialog goes, and the dialog's caller then finds the stop requested.
void frmMain::CloseBehindDialog() {
    close();
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->close();
    }
}

void frmMain::lvwSubstitution_ColumnClick(int index) {
    SortByClickedColumn(lvwSubstitution, index);
}

void frmMain::lvwUnique_ColumnClick(int index) {
    SortByClickedColumn(lvwUnique, index);
}

// The Occurrences window opens for the selected words, in the list's order.
void frmMain::mnuShowOccurrences_Click() {
    const RowRuns runs = lvwUnique->SelectedRuns();
    std::size_t selected = 0;
    for (const RowRun& run : runs) {
        selected += static_cast<std::size_t>(run.last - run.first + 1);
    }
    if (selected == 0) {
        return;
    }
    if (selected > kMostSearchedWords) {
        ShowProblem(occurrencestext::FailedTitle(),
                    text::TooManyWordsForOccurrences().arg(kMostSearchedWords));
        return;
    }
    std::vector<std::string> words;
    for (const RowRun& run : runs) {
        for (int row = run.first; row <= run.last; ++row) {
            words.push_back(ChosenWord(row));
        }
    }
    ShowOccurrences(std::move(words));
}

// Enter and a double click open the window for the row's own word, as the
// command would, and only when it would.
void frmMain::lvwUnique_RowChosen(int row) {
    if (mnuShowOccurrences->isEnabled()) {
        ShowOccurrences({ChosenWord(row)});
    }
}

// The word's letters straight from the rows: a word of hundreds of megabytes
// is not made into a text of the list's first.
std::string frmMain::ChosenWord(int row) const {
    const auto& rows = dynamic_cast<const UniqueWordRows&>(lvwUnique->Rows().Rows());
    return std::string(rows.WordOf(lvwUnique->Rows().SourceRow(row)));
}

// The same words, in whatever order, are shown by one window: choosing them
// again brings it to the front.
void frmMain::ShowOccurrences(std::vector<std::string> words) {
    std::vector<std::string> wanted = words;
    std::sort(wanted.begin(), wanted.end());
    for (OccurrencesWindow* open : OccurrencesWindows()) {
        std::vector<std::string> shown = open->Words();
        std::sort(shown.begin(), shown.end());
        if (shown == wanted) {
            open->raise();
            open->activateWindow();
            return;
        }
    }
    occurrencesWindows_.removeAll(nullptr);
    auto* window = new OccurrencesWindow(state_.SourceBytes, state_.SourceLength, std::move(words),
                                         LocaleSeparators());
    connect(window, &OccurrencesWindow::Problem, this,
            [this, window](const QString& title, const QString& text) {
                ShowProblemOver(window->isVisible() ? static_cast<QWidget*>(window) : this, title,
                                text);
            });
    occurrencesWindows_.append(window);
    window->show();
    window->activateWindow();
}

QList<OccurrencesWindow*> frmMain::OccurrencesWindows() const {
    QList<OccurrencesWindow*> open;
    for (const QPointer<OccurrencesWindow>& window : occurrencesWindows_) {
        if (window != nullptr && window->isVisible()) {
            open.append(window.data());
        }
    }
    return open;
}

void frmMain::CloseOccurrencesWindows() {
    for (OccurrencesWindow* window : OccurrencesWindows()) {
        window->close();
    }
}

void frmMain::SetUniqueWordsOfLoadedDocument(bool shown) {
    uniqueShowsLoadedDocument_ = shown;
    mnuShowOccurrences->setEnabled(shown);
}

// The close is never refused. A run or a load in progress sees the stop
// request at its next look at the user interface and ends without results;
// an Occurrences window stops finding and closes with the main window, so
// that the program ends.
void frmMain::closeEvent(QCloseEvent* event) {
    stopRequested_ = true;
    CloseOccurrencesWindows();
    event->accept();
}

// The bar is drawn without its percentage, set up afresh every time, the
// part done in barColor and the rest in the button face. The empty bar is
// drawn on a scale of one; it reads as no bytes of the document, like every
// later bar, which is drawn in bytes.
void frmMain::DrawBar(const ProgressPoint& point, std::uint32_t barColor) {
    constexpr bool showText = false;
    constexpr std::uint32_t textColor = kSystemHighlight;
    constexpr std::uint32_t backColor = kSystemButtonFace;
    constexpr std::int32_t textAlign = kAlignCentred;
    constexpr bool skipSetup = false;
    quorvex::DrawProgress(picProgress, point.minValue, point.maxValue, point.value, showText,
                          textColor, barColor, backColor, textAlign, skipSetup);
    picProgress->SetReadValues(point.minValue, state_.SourceLength, point.value);
    lastDraw_ = std::chrono::steady_clock::now();
}

void frmMain::ScanStarted(const ProgressPoint& emptyBar) {
    picProgress->show();
    DrawBar(emptyBar, kSystemButtonFace);
    repaint();
}

void frmMain::DrawProgress(const ProgressPoint& point) {
    if (std::chrono::steady_clock::now() - lastDraw_ < kRedrawInterval) {
        return;
    }
    DrawBar(point, kPureBlue);
    eventsDue_ = true;
}

RunControl frmMain::LineDone() {
    if (eventsDue_) {
        eventsDue_ = false;
        QCoreApplication::processEvents();
    }
    return stopRequested_ ? RunControl::Stop : RunControl::Continue;
}

void frmMain::ScanEnded() {
    picProgress->hide();
}

}  // namespace quorvex
