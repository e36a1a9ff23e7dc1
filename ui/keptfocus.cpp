#include "ui/keptfocus.h"

namespace quorvex {

KeptFocus::KeptFocus(const QWidget* window, QWidget* instead)
    : kept_(window->focusWidget()), instead_(instead) {}

KeptFocus::~KeptFocus() {
    QWidget* control = kept_ && kept_->isVisible() ? kept_.data() : instead_.data();
    if (control != nullptr && control->isVisible()) {
        control->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace quorvex
