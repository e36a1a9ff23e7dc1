#pragma once

#include <QMainWindow>
#include <QPointer>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysedocument.h"
#include "analysis/scan/analysisstate.h"
#include "analysis/scan/documentscan.h"
#include "ui/blockedclosefilter.h"
#include "ui/keptfocus.h"
#include "ui/userdialogs.h"

class QAction;
class QMenu;

namespace quorvex {

class OccurrencesWindow;
class ProgressBar;
class ReportList;
class TabContainer;

// The program's one window: it owns the loaded document and the results of
// the last run, opens documents, runs the analysis and shows the three lists.
class frmMain : public QMainWindow, private RunHooks {
    Q_OBJECT

  public:
    explicit frmMain(std::unique_ptr<UserDialogs> dialogs = std::make_unique<ModalUserDialogs>(),
                     QWidget* parent = nullptr);
    ~frmMain() override;

    const AnalysisState& State() const { return state_; }

    QMenu* FileMenu() const { return mnuFile; }
    QAction* OpenAction() const { return mnuFileOpen; }
    QAction* ExitAction() const { return mnuFileExit; }
    QAction* ProcessFileAction() const { return mnuProcessFile; }
    TabContainer* Tabs() const { return SSTab1; }
    ReportList* SummaryList() const { return lvwSummary; }
    ReportList* SubstitutionList() const { return lvwSubstitution; }
    ReportList* UniqueList() const { return lvwUnique; }
    ProgressBar* Progress() const { return picProgress; }
    QAction* ShowOccurrencesAction() const { return mnuShowOccurrences; }
    // The Occurrences windows open now, in the order they were opened.
    QList<OccurrencesWindow*> OccurrencesWindows() const;

    // True once the window was closed: a run or a load in progress ends as
    // soon as it can, and shows nothing.
    bool StopRequested() const { return stopRequested_; }

  public slots:
    void mnuFileOpen_Click();
    void mnuFileExit_Click();
    void mnuProcessFile_Click();
    void lvwSubstitution_ColumnClick(int index);
    void lvwUnique_ColumnClick(int index);
    void mnuShowOccurrences_Click();
    void lvwUnique_RowChosen(int row);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void BuildTabs();
    void Form_Load();
    void LoadSourceFile(const QString& path);
    void AnalyseDocument();
    void SetRunning(bool running);
    ReportList* CurrentList() const;
    void ShowResults(ResultLists lists);
    void ReportFailedRun(const QString& reason);
    void ShowProblem(const QString& title, const QString& text);
    void ShowProblemOver(QWidget* window, const QString& title, const QString& text);
    void CloseBehindDialog();
    void DrawBar(const ProgressPoint& point, std::uint32_t barColor);
    void ShowOccurrences(std::vector<std::string> words);
    std::string ChosenWord(int row) const;
    void CloseOccurrencesWindows();
    void SetUniqueWordsOfLoadedDocument(bool shown);

    // The run's hooks: the progress bar and the user interface are brought
    // up to date at most once every few milliseconds, so that a large
    // document is not slowed down by drawing faster than a screen shows.
    void ScanStarted(const ProgressPoint& emptyBar) override;
    void DrawProgress(const ProgressPoint& point) override;
    RunControl LineDone() override;
    void ScanEnded() override;

    AnalysisState state_;
    std::unique_ptr<UserDialogs> CommonDialog1;
    BlockedCloseFilter blockedClose_{this, [this] { CloseBehindDialog(); }};
    // Disabling the tabs for a run takes the focus from them.
    std::optional<KeptFocus> focusBeforeRun_;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSep1 = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuProcessFile = nullptr;
    TabContainer* SSTab1 = nullptr;
    ReportList* lvwSummary = nullptr;
    ReportList* lvwSubstitution = nullptr;
    ReportList* lvwUnique = nullptr;
    ProgressBar* picProgress = nullptr;
    QAction* mnuShowOccurrences = nullptr;
    // Windows close themselves and are deleted when closed; the ones left at
    // the end go with the main window.
    QList<QPointer<OccurrencesWindow>> occurrencesWindows_;
    // Whether Unique Words shows the words of the loaded document: not after
    // an Open until the next run, nor before the first run.
    bool uniqueShowsLoadedDocument_ = false;

    bool stopRequested_ = false;
    bool eventsDue_ = false;
    std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace quorvex
