// Renders the program's SVG icon into square PNG files at build time, so that
// desktops and software centres that want bitmaps of the theme's sizes get
// them drawn from the one picture.
//
// Usage: quorvex-rendericon SVG SIZE PNG [SIZE PNG]...

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

bool RenderPng(QSvgRenderer& renderer, int size, const QString& path) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image.save(path, "PNG");
}

int Fail(const char* message, const QString& detail) {
    std::fprintf(stderr, "quorvex-rendericon: %s: %s\n", message, qPrintable(detail));
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Drawing into an image needs no display, so the tool runs on any build
    // machine without a platform plugin.
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 3 || args.size() % 2 == 0) {
        std::fprintf(stderr, "usage: quorvex-rendericon SVG SIZE PNG [SIZE PNG]...\n");
        return 2;
    }
    QSvgRenderer renderer(args[0]);
    if (!renderer.isValid()) {
        return Fail("not a readable SVG picture", args[0]);
    }
    for (int i = 1; i < args.size(); i += 2) {
        bool isNumber = false;
        const int size = args[i].toInt(&isNumber);
        if (!isNumber || size <= 0) {
            return Fail("not a size in pixels", args[i]);
        }
        if (!RenderPng(renderer, size, args[i + 1])) {
            return Fail("cannot write", args[i + 1]);
        }
    }
    return 0;
}
