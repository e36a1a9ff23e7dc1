#pragma once

#include <QImage>
#include <QWidget>

#include "ui/progress/colourvalue.h"
#include "ui/progress/drawingsurface.h"

class QPainter;

namespace quorvex {

// The window's progress bar: a picture box that keeps what is drawn on it in
// an off-screen image of its own size and paints itself from that image. Its
// scale units are logical pixels, so ScaleWidth and ScaleHeight are the
// widget's width and height; the image holds device pixels.
//
// Assistive technology reads it as a progress bar with the minimum, maximum
// and value that its owner gives with SetReadValues: the drawing itself
// carries no numbers.

class ProgressBar : public QWidget, public DrawingSurface {
    Q_OBJECT

  public:
    explicit ProgressBar(QWidget* parent = nullptr);

    // What the widget shows, in device pixels.
    const QImage& Image() const;

    void SetAutoRedraw(bool autoRedraw) override;
    void SetAutoSize(bool autoSize) override;
    void ClearPicture() override;
    void SetVisible(bool visible) override;

    double ScaleWidth() const override;
    double ScaleHeight() const override;

    // The box's edges are snapped to device pixels; its far edges are
    // exclusive, so two boxes that share an edge meet without a gap or an
    // overlap and a box of no width paints nothing.
    void FillBox(ScalePoint corner1, ScalePoint corner2, std::uint32_t colour) override;

    double TextWidth(const QString& text) const override;
    double TextHeight(const QString& text) const override;
    void SetCurrentX(double x) override;
    void SetCurrentY(double y) override;
    void SetForeColor(std::uint32_t colour) override;
    void Print(const QString& text) override;

    void Refresh() override;

    void SetReadValues(std::int64_t minimum, std::int64_t maximum, std::int64_t value);
    std::int64_t ReadMinimum() const { return readMinimum_; }
    std::int64_t ReadMaximum() const { return readMaximum_; }
    std::int64_t ReadValue() const { return readValue_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor BackgroundColour() const;
    // The image, made anew in the background colour when the widget's size
    // or pixel ratio no longer matches it, keeping what it already showed.
    QImage& Canvas() const;
    // False while the widget has no area to draw on.
    bool BeginPainting(QPainter& painter);
    QRectF SnappedBox(ScalePoint corner1, ScalePoint corner2) const;

    mutable QImage image_;
    double currentX_ = 0;
    double currentY_ = 0;
    std::uint32_t foreColor_ = kSystemButtonText;  // until another colour is set
    std::int64_t readMinimum_ = 0;
    std::int64_t readMaximum_ = 0;
    std::int64_t readValue_ = 0;
};

}  // namespace quorvex
