#pragma once

#include <QMainWindow>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "analysis/memory/documentbytes.h"
#include "analysis/occurrences/concordancerows.h"
#include "analysis/occurrences/headingcountrows.h"
#include "analysis/occurrences/occurrences.h"
#include "analysis/text/numberformat.h"
#include "ui/reportlist/reportcolumn.h"

class QLineEdit;
class QProgressBar;
class QSpinBox;

namespace quorvex {

class DispersionPlot;
class ReportList;

// Where chosen words occur in the loaded document: a dispersion plot, a
// concordance and a count per heading, in a window of its own.
//
// The window holds the document's bytes for as long as it is open, whatever
// the main window loads meanwhile, and finds the occurrences on a thread of
// its own, so that it stays responsive and shows its progress; closing it,
// or Escape, stops the search at its next look at its progress. It deletes
// itself when closed.
class OccurrencesWindow : public QMainWindow {
    Q_OBJECT

  public:
    // `words` are 1 to 8 distinct folded words, in the order to show them.
    OccurrencesWindow(std::shared_ptr<const DocumentBytes> document, std::int64_t length,
                      std::vector<std::string> words, NumberSeparators separators);
    ~OccurrencesWindow() override;

    const std::vector<std::string>& Words() const { return words_; }

    QProgressBar* Progress() const { return progress_; }
    DispersionPlot* Plot() const { return plot_; }
    ReportList* Concordance() const { return concordance_; }
    QSpinBox* ContextWidth() const { return contextWidth_; }
    QLineEdit* WholeLine() const { return wholeLine_; }
    ReportList* HeadingCounts() const { return headingCounts_; }

  signals:
    // A command the window could not carry out, for the main window to tell.
    void Problem(const QString& title, const QString& text);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    ReportList* AddList(QList<ReportColumn> columns, const QString& name);
    void StartSearch(std::shared_ptr<const DocumentBytes> document, std::int64_t length);
    void StopSearch();
    void ShowProgress(std::int64_t read, std::int64_t total);
    void ShowOccurrences(std::shared_ptr<const Occurrences> found);
    void RefuseWithoutMemory();
    void SetContextWidth(int characters);
    void FitContextColumns(int characters);
    void FitNumberColumns();
    void SelectOccurrence(std::size_t occurrence);
    void SelectHeadingsFirstOccurrence();
    void ShowWholeLine();

    std::vector<std::string> words_;
    NumberSeparators separators_;
    std::shared_ptr<ConcordanceRows> concordanceRows_;
    std::shared_ptr<const HeadingCountRows> headingRows_;

    QProgressBar* progress_ = nullptr;
    DispersionPlot* plot_ = nullptr;
    ReportList* concordance_ = nullptr;
    QSpinBox* contextWidth_ = nullptr;
    QLineEdit* wholeLine_ = nullptr;
    ReportList* headingCounts_ = nullptr;

    std::atomic<bool> stopRequested_ = false;
    std::thread search_;
};

// A word as the window shows it in its title, its strips and its captions:
// cut to its first 40 letters and "…" when it is longer.
QString ShownWord(const std::string& word);

}  // namespace quorvex
