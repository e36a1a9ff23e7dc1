#include "ui/progress/modprogress.h"

namespace quorvex {

namespace {

// Each step of a drawing stands alone: a surface that refuses one of them
// still gets all the others.
template <typename Step>
void TryStep(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

// Where value lies between the two ends, 0 at minValue and 1 at maxValue,
// not clamped. The differences are taken in double precision so that no
// position can overflow; equal ends give 0, an empty bar.
double ProgressFraction(std::int64_t minValue, std::int64_t maxValue, std::int64_t value) {
    const double range = static_cast<double>(maxValue) - static_cast<double>(minValue);
    if (range == 0) {
        return 0;
    }
    return (static_cast<double>(value) - static_cast<double>(minValue)) / range;
}

// One decimal and "." as the separator whatever the locale, as in "12.3%".
QString PercentText(double fraction) {
    QString digits = QString::number(fraction * 100, 'f', 1);
    // A zero reached from below, or from a reversed range, is still zero.
    if (digits == u"-0.0") {
        digits.remove(0, 1);
    }
    return digits + u'%';
}

// The right edge of the bar, held in single precision like the surface's
// own coordinates.
double BarEnd(double fraction, double width) {
    return static_cast<float>(fraction * width);
}

void SetUp(DrawingSurface& surface) {
    TryStep([&] { surface.SetAutoRedraw(true); });
    TryStep([&] { surface.SetAutoSize(false); });
    TryStep([&] { surface.ClearPicture(); });
    TryStep([&] { surface.SetVisible(true); });
}

// The background goes second so that it covers the edge the two boxes share.
void FillBarAndBackground(DrawingSurface& surface, double fraction, std::uint32_t barColor,
                          std::uint32_t backColor) {
    TryStep([&] {
        const double barEnd = BarEnd(fraction, surface.ScaleWidth());
        surface.FillBox({0, 0}, {barEnd, surface.ScaleHeight()}, barColor);
    });
    TryStep([&] {
        const double barEnd = BarEnd(fraction, surface.ScaleWidth());
        surface.FillBox({barEnd, 0}, {surface.ScaleWidth(), surface.ScaleHeight()}, backColor);
    });
}

// An alignment the routine does not know leaves the text where the surface
// last put it.
void PlaceTextHorizontally(DrawingSurface& surface, const QString& text, std::int32_t textAlign) {
    switch (textAlign) {
        case kAlignLeft:
            surface.SetCurrentX(1);
            break;
        case kAlignRight:
            surface.SetCurrentX(surface.ScaleWidth() - surface.TextWidth(text) - 1);
            break;
        case kAlignCentred:
            surface.SetCurrentX(surface.ScaleWidth() / 2 - surface.TextWidth(text) / 2);
            break;
        default:
            break;
    }
}

void DrawText(DrawingSurface& surface, const QString& text, std::uint32_t textColor,
              std::int32_t textAlign) {
    TryStep([&] { PlaceTextHorizontally(surface, text, textAlign); });
    TryStep([&] { surface.SetCurrentY((surface.ScaleHeight() - surface.TextHeight(text)) / 2); });
    TryStep([&] { surface.SetForeColor(textColor); });
    TryStep([&] { surface.Print(text); });
}

}  // namespace

void DrawProgress(DrawingSurface* surface, std::int64_t minValue, std::int64_t maxValue,
                  std::int64_t value, bool showText, std::uint32_t textColor,
                  std::uint32_t barColor, std::uint32_t backColor, std::int32_t textAlign,
                  bool skipSetup) {
    if (surface == nullptr) {
        return;
    }
    if (!skipSetup) {
        SetUp(*surface);
    }
    const double fraction = ProgressFraction(minValue, maxValue, value);
    QString percentText;
    TryStep([&] { percentText = PercentText(fraction); });
    FillBarAndBackground(*surface, fraction, barColor, backColor);
    if (showText) {
        DrawText(*surface, percentText, textColor, textAlign);
    }
    TryStep([&] { surface->Refresh(); });
}

}  // namespace quorvex
