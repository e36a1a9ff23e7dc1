#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace quorvex {

// The window's modal conversations with the user, behind one seam so that a
// test can answer them without a dialog on screen.
class UserDialogs {
  public:
    virtual ~UserDialogs() = default;
    // The document to open, or nothing when the user cancels.
    virtual std::optional<QString> ChooseSourceFile(QWidget* parent) = 0;
    virtual void ShowProblem(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The real ones: Qt's own file dialog and a message box. They keep nothing
// on disk, for as long as the program runs.
class ModalUserDialogs : public UserDialogs {
  public:
    ModalUserDialogs();
    std::optional<QString> ChooseSourceFile(QWidget* parent) override;
    void ShowProblem(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace quorvex
