#include "tests/ui/testing/windowtest.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QTimer>
#include <QtTest>

#include "ui/reportlist/reportlist.h"

namespace quorvex {

// Opens a widget's context menu from the keyboard, chooses the entry with that
// caption if there is one, and gives the captions of all entries.
QStringList UseContextMenu(QWidget* list, const QString& choice) {
    QStringList captions;
    // A timer of this call's own, so that it cannot fire after the call when
    // no menu opened.
    QTimer inMenu;
    inMenu.setSingleShot(true);
    QObject::connect(&inMenu, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                captions.append(action->text());
            }
            if (action->text() == choice && action->isEnabled()) {
                chosen = action;
            }
        }
        menu->close();
        if (chosen != nullptr) {
            chosen->trigger();
        }
    });
    inMenu.start(0);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), list->mapToGlobal(QPoint()));
    QApplication::sendEvent(list, &event);
    return captions;
}

void ClickRow(ReportList* list, int row, Qt::KeyboardModifiers modifiers) {
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, cell.center());
}

bool WindowTest::StartWindow() {
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    window_ = std::make_unique<frmMain>(std::move(dialogs));
    window_->show();
    return QTest::qWaitForWindowExposed(window_.get());
}

void WindowTest::CloseWindow() {
    window_.reset();
    dialogs_ = nullptr;
}

QByteArray WindowTest::DistinctWords(int count, const QByteArray& heading) {
    QByteArray lines = heading;
    for (int i = 0; i < count; ++i) {
        lines += "0000000 w";
        for (int n = i; n > 0; n /= 26) {
            lines += static_cast<char>('a' + n % 26);
        }
        lines += "\r\n";
    }
    return lines;
}

QString WindowTest::WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = folder_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) < 0) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void WindowTest::Open(const QString& answer) {
    dialogs_->answers.append(answer);
    window_->OpenAction()->trigger();
}

void WindowTest::Process() {
    window_->ProcessFileAction()->trigger();
}

}  // namespace quorvex
