#pragma once

#include <QStringList>
#include <map>

#include "ui/progress/drawingsurface.h"

namespace quorvex::testing {

// A drawing surface that writes down every change made to it, one line per
// call such as "Fill 0 0 188.5 13 ff0000", and that can be told to refuse
// chosen operations by throwing. A refused call is not written down. Text is
// 7 units wide a character and 9 units high.
class FakeSurface : public DrawingSurface {
  public:
    static constexpr double kCharWidth = 7;
    static constexpr double kTextHeight = 9;

    explicit FakeSurface(double width = 377, double height = 13);

    // The operation, named as in its line ("Fill", "ScaleWidth", ...), throws
    // from now on, or only for its next `times` calls.
    void FailOn(const QString& operation, int times = kAlways);

    const QStringList& Calls() const { return calls_; }

    void SetAutoRedraw(bool autoRedraw) override;
    void SetAutoSize(bool autoSize) override;
    void ClearPicture() override;
    void SetVisible(bool visible) override;
    double ScaleWidth() const override;
    double ScaleHeight() const override;
    void FillBox(ScalePoint corner1, ScalePoint corner2, std::uint32_t colour) override;
    double TextWidth(const QString& text) const override;
    double TextHeight(const QString& text) const override;
    void SetCurrentX(double x) override;
    void SetCurrentY(double y) override;
    void SetForeColor(std::uint32_t colour) override;
    void Print(const QString& text) override;
    void Refresh() override;

  private:
    static constexpr int kAlways = -1;

    void Attempt(const QString& operation) const;
    void Record(const QString& operation, const QString& arguments = {});

    double width_;
    double height_;
    mutable std::map<QString, int> failures_;
    QStringList calls_;
};

}  // namespace quorvex::testing
