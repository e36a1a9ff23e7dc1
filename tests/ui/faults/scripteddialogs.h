#pragma once

#include <QStringList>

#include "ui/userdialogs.h"

namespace quorvex {

// Answers the window's dialogs from a script and keeps what it was told.
class ScriptedDialogs : public UserDialogs {
  public:
    QStringList answers;   // one path per Open; none left cancels the dialog
    QStringList problems;  // title and text of every message, a line feed between

    std::optional<QString> ChooseSourceFile(QWidget* parent) override;
    void ShowProblem(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace quorvex
