#include <QApplication>

#include "ui/frmmain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorvex.Quorvex"));
    quorvex::frmMain window;
    window.show();
    return QApplication::exec();
}
