#pragma once

#include <QStringList>
#include <functional>

#include "ui/userdialogs.h"

namespace quorvex {

// Answers the window's dialogs from a script and keeps what it was told.
class ScriptedDialogs : public UserDialogs {
  public:
    QStringList answers;                  // one path per Open; a null text, or none left, cancels
    QStringList problems;                 // title and text of every message, a line feed between
    std::function<void()> whileChoosing;  // runs as the user picks the file

    std::optional<QString> ChooseSourceFile(QWidget* parent) override;
    void ShowProblem(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace quorvex
