#include "ui/appicon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace quorvex {

QIcon AppIcon() {
    QSvgRenderer renderer(QStringLiteral(":/quorvex.svg"));
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace quorvex
