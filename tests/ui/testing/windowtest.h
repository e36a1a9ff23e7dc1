#pragma once

#include <QObject>
#include <QTemporaryDir>
#include <memory>

#include "analysis/rows/reportrows.h"
#include "tests/ui/testing/scripteddialogs.h"
#include "ui/frmmain.h"

namespace quorvex {

// What a click on a column's header reports to the window: its place,
// counted from 1.
template <typename Name>
constexpr int ClickIndex(Name column) {
    return IndexOf(column) + 1;
}

class ReportList;

// Opens a widget's context menu from the keyboard, chooses the entry with that
// caption if there is one and it is enabled, and gives the captions of all
// entries.
QStringList UseContextMenu(QWidget* list, const QString& choice = {});

void ClickRow(ReportList* list, int row, Qt::KeyboardModifiers modifiers = {});

// What every window test starts from: a shown window whose dialogs a script
// answers, a folder for its documents, and the user's commands.
class WindowTest : public QObject {
  protected:
    QTemporaryDir folder_;
    ScriptedDialogs* dialogs_ = nullptr;
    std::unique_ptr<frmMain> window_;

    // Shows a new window; false if it never became visible.
    bool StartWindow();
    void CloseWindow();

    // A word a line, each new: "w", "wb", "wc" and so on, after `heading`.
    static QByteArray DistinctWords(int count, const QByteArray& heading = {});
    // Writes a document into the folder and gives its path.
    QString WriteFile(const QString& name, const QByteArray& bytes);
    // File > Open, the dialog answered with `answer` (a null text cancels it).
    void Open(const QString& answer);
    void Process();
};

}  // namespace quorvex
