#include "ui/userdialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/strings.h"

namespace quorvex {

std::optional<QString> ModalUserDialogs::ChooseSourceFile(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    // Qt's own dialog, so that it looks and behaves the same on every desktop.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowTitle(text::OpenDialogTitle());
    dialog.setDirectory(QCoreApplication::applicationDirPath());
    dialog.setNameFilters({text::TextFilesFilter(), text::AllFilesFilter()});
    dialog.selectNameFilter(text::TextFilesFilter());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

void ModalUserDialogs::ShowProblem(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

}  // namespace quorvex
