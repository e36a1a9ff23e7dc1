#include "ui/userdialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>

#include "ui/windowtexts.h"

namespace quorvex {

namespace {

// Qt's file dialog saves its history, last folder, view mode and column
// layout as user-scope settings when it is destroyed, and the program keeps
// no settings. A folder below /dev/null cannot be created, not even by root,
// so Qt gives up before it makes any folder, lock or temporary file; within
// one run the dialog still remembers what Qt keeps in memory. The paths are
// set before the first dialog exists, so a crash or a kill cannot leave a
// file behind either.
void KeepUserSettingsOffDisk() {
    const QString nowhere = QStringLiteral("/dev/null");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}

}  // namespace

ModalUserDialogs::ModalUserDialogs() {
    KeepUserSettingsOffDisk();
}

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
    // Without a window manager, nothing hands the activation back to the
    // window the box blocked, and the keys would reach none of its controls.
    if (parent->isVisible()) {
        parent->activateWindow();
    }
}

}  // namespace quorvex
