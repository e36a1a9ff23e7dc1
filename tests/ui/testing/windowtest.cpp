#include "tests/ui/testing/windowtest.h"

#include <QAction>
#include <QFile>
#include <QtTest>

namespace quorvex {

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
