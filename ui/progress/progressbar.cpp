#include "ui/progress/progressbar.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <utility>

#include "ui/progress/colourvalue.h"

namespace quorvex {

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

const QImage& ProgressBar::Image() const {
    return Canvas();
}

// Drawing always goes into the persistent image, which is all AutoRedraw asks.
void ProgressBar::SetAutoRedraw(bool) {}

// The box never holds a picture to fit itself to, so it keeps its size either
// way.
void ProgressBar::SetAutoSize(bool) {}

void ProgressBar::ClearPicture() {
    Canvas().fill(BackgroundColour());
}

void ProgressBar::SetVisible(bool visible) {
    setVisible(visible);
}

double ProgressBar::ScaleWidth() const {
    return width();
}

double ProgressBar::ScaleHeight() const {
    return height();
}

void ProgressBar::FillBox(ScalePoint corner1, ScalePoint corner2, std::uint32_t colour) {
    QPainter painter;
    if (BeginPainting(painter)) {
        painter.fillRect(SnappedBox(corner1, corner2), ColourFromValue(colour, palette()));
    }
}

double ProgressBar::TextWidth(const QString& text) const {
    return QFontMetricsF(font()).horizontalAdvance(text);
}

double ProgressBar::TextHeight(const QString&) const {
    return QFontMetricsF(font()).height();
}

void ProgressBar::SetCurrentX(double x) {
    currentX_ = x;
}

void ProgressBar::SetCurrentY(double y) {
    currentY_ = y;
}

void ProgressBar::SetForeColor(std::uint32_t colour) {
    foreColor_ = colour;
}

void ProgressBar::Print(const QString& text) {
    QPainter painter;
    if (BeginPainting(painter)) {
        painter.setFont(font());
        painter.setPen(ColourFromValue(foreColor_, palette()));
        painter.drawText(QPointF(currentX_, currentY_ + QFontMetricsF(font()).ascent()), text);
    }
    currentX_ += TextWidth(text);
}

void ProgressBar::Refresh() {
    repaint();
}

void ProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), Canvas());
}

QColor ProgressBar::BackgroundColour() const {
    return palette().color(backgroundRole());
}

QImage& ProgressBar::Canvas() const {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (image_.size() == pixels && image_.devicePixelRatio() == ratio) {
        return image_;
    }
    QImage canvas(pixels, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(BackgroundColour());
    if (!image_.isNull() && !canvas.isNull()) {
        QPainter painter(&canvas);
        painter.drawImage(QPointF(0, 0), image_);
    }
    image_ = std::move(canvas);
    return image_;
}

bool ProgressBar::BeginPainting(QPainter& painter) {
    QImage& canvas = Canvas();
    return !canvas.isNull() && painter.begin(&canvas);
}

// Boxes reaching past the widget are cut at its edges first, so that a bar far
// beyond its maximum cannot overflow the pixel arithmetic.
QRectF ProgressBar::SnappedBox(ScalePoint corner1, ScalePoint corner2) const {
    const double ratio = devicePixelRatioF();
    const auto snap = [ratio](double coordinate, double limit) {
        return std::round(std::fmin(std::fmax(coordinate, 0.0), limit) * ratio) / ratio;
    };
    const auto snapPoint = [&](ScalePoint corner) {
        return QPointF(snap(corner.x, width()), snap(corner.y, height()));
    };
    return QRectF(snapPoint(corner1), snapPoint(corner2)).normalized();
}

}  // namespace quorvex
