#pragma once

#include <QPointer>
#include <QWidget>

namespace quorvex {

// Keeps the place of a window's keyboard focus while it lives. Disabling a
// control takes the focus from it, and enabling it again does not give it
// back; when this ends, the control that had the focus has it again (a list
// with its current row), so that the next key acts at once and a screen
// reader, which follows the focus, finds the same place. `instead` takes it
// when that control is gone or hidden, or when none had it. A window no
// longer shown is left as it is.
class KeptFocus {
  public:
    KeptFocus(const QWidget* window, QWidget* instead);
    ~KeptFocus();
    KeptFocus(const KeptFocus&) = delete;
    KeptFocus& operator=(const KeptFocus&) = delete;

  private:
    QPointer<QWidget> kept_;
    QPointer<QWidget> instead_;
};

}  // namespace quorvex
