#include "ui/progress/progressbar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <utility>

#include "ui/progress/colourvalue.h"

namespace quorvex {

namespace {

class AccessibleProgressBar : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit AccessibleProgressBar(ProgressBar* bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return qlonglong(Bar()->ReadValue()); }
    QVariant maximumValue() const override { return qlonglong(Bar()->ReadMaximum()); }
    QVariant minimumValue() const override { return qlonglong(Bar()->ReadMinimum()); }
    QVariant minimumStepSize() const override { return 1; }
    // The bar only shows progress; nobody sets it.
    void setCurrentValue(const QVariant&) override {}

  private:
    const ProgressBar* Bar() const { return static_cast<const ProgressBar*>(widget()); }
};

QAccessibleInterface* MakeAccessibleProgressBar(const QString& className, QObject* object) {
    auto* bar = qobject_cast<ProgressBar*>(object);
    if (bar == nullptr || className != QLatin1String(ProgressBar::staticMetaObject.className())) {
        return nullptr;
    }
    return new AccessibleProgressBar(bar);
}

}  // namespace

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {
    static const bool kFactoryInstalled = [] {
        QAccessible::installFactory(MakeAccessibleProgressBar);
        return true;
    }();
    Q_UNUSED(kFactoryInstalled);
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

void ProgressBar::SetReadValues(std::int64_t minimum, std::int64_t maximum, std::int64_t value) {
    const bool changed = minimum != readMinimum_ || maximum != readMaximum_ || value != readValue_;
    readMinimum_ = minimum;
    readMaximum_ = maximum;
    readValue_ = value;
    if (changed) {
        QAccessibleValueChangeEvent event(this, qlonglong(value));
        QAccessible::updateAccessibility(&event);
    }
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
