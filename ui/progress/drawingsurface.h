#pragma once

#include <QString>
#include <cstdint>

namespace quorvex {

// A point in a drawing surface's own scale units, (0, 0) being the top-left
// corner of its inner area.
struct ScalePoint {
    double x = 0;
    double y = 0;

    friend bool operator==(const ScalePoint&, const ScalePoint&) = default;
};

// What the progress bar routine draws on: a picture box with a persistent
// image, a current text position and a current text colour. Colours are
// colour values (see ColourFromValue). Any operation may throw.
class DrawingSurface {
  public:
    virtual ~DrawingSurface() = default;

    virtual void SetAutoRedraw(bool autoRedraw) = 0;
    virtual void SetAutoSize(bool autoSize) = 0;
    virtual void ClearPicture() = 0;
    virtual void SetVisible(bool visible) = 0;

    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;

    // Fills the box between two opposite corners, given in either order,
    // edge and inside alike.
    virtual void FillBox(ScalePoint corner1, ScalePoint corner2, std::uint32_t colour) = 0;

    virtual double TextWidth(const QString& text) const = 0;
    virtual double TextHeight(const QString& text) const = 0;
    virtual void SetCurrentX(double x) = 0;
    virtual void SetCurrentY(double y) = 0;
    virtual void SetForeColor(std::uint32_t colour) = 0;
    // Draws the text at the current position in the current colour and moves
    // the current position past it.
    virtual void Print(const QString& text) = 0;

    // Puts the image on the screen at once, without waiting for the event loop.
    virtual void Refresh() = 0;
};

}  // namespace quorvex
