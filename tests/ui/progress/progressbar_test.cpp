#include "ui/progress/progressbar.h"

#include <gtest/gtest.h>

#include <QPalette>

#include "ui/progress/modprogress.h"

namespace quorvex {
namespace {

constexpr std::uint32_t kBlue = 0x00FF0000u;
constexpr std::uint32_t kGrey = 0x00808080u;
constexpr std::uint32_t kBlack = 0x00000000u;
constexpr std::uint32_t kWhite = 0x00FFFFFFu;

// The colour shown at a point given in the bar's own units.
QRgb ColourAt(const ProgressBar& bar, int x, int y) {
    const QImage& image = bar.Image();
    const qreal ratio = image.devicePixelRatio();
    return image.pixel(static_cast<int>(x * ratio), static_cast<int>(y * ratio)) & 0xFFFFFFu;
}

class ProgressBarTest : public ::testing::Test {
  protected:
    ProgressBarTest() { bar.resize(377, 13); }

    void Draw(std::int64_t value, bool showText, std::uint32_t textColor, std::uint32_t barColor,
              std::uint32_t backColor) {
        DrawProgress(&bar, 0, 100, value, showText, textColor, barColor, backColor, 2, false);
    }

    ProgressBar bar;
};

TEST_F(ProgressBarTest, AHalfBarIsBlueOnTheLeftAndBackgroundOnTheRight) {
    Draw(50, false, kBlack, kBlue, kGrey);

    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(ColourAt(bar, 0, 0), 0x0000FFu);
    EXPECT_EQ(ColourAt(bar, 188, 12), 0x0000FFu);
    EXPECT_EQ(ColourAt(bar, 189, 0), 0x808080u);
    EXPECT_EQ(ColourAt(bar, 376, 12), 0x808080u);
    EXPECT_EQ(bar.grab().toImage().pixel(10, 6) & 0xFFFFFFu, 0x0000FFu);
}

TEST_F(ProgressBarTest, EveryDrawingRepaintsTheWholeBar) {
    Draw(90, true, kBlack, kBlue, kGrey);
    Draw(10, false, kBlack, kBlue, kGrey);

    for (int x = 38; x < 377; ++x) {
        for (int y = 0; y < 13; ++y) {
            ASSERT_EQ(ColourAt(bar, x, y), 0x808080u) << x << "," << y;
        }
    }
}

TEST_F(ProgressBarTest, SystemColoursFollowThePalette) {
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
    bar.setPalette(palette);
    Draw(0, false, kBlack, 0x8000000Fu, 0x8000000Fu);

    EXPECT_EQ(ColourAt(bar, 0, 0), qRgb(1, 2, 3) & 0xFFFFFFu);
    EXPECT_EQ(ColourAt(bar, 376, 12), qRgb(1, 2, 3) & 0xFFFFFFu);
}

TEST_F(ProgressBarTest, TheTextIsPrintedInTheMiddleInItsColour) {
    Draw(50, true, kBlack, kWhite, kWhite);

    const double textLeft = (bar.ScaleWidth() - bar.TextWidth("50.0%")) / 2;
    int darkPixels = 0;
    int strayPixels = 0;
    for (int x = 0; x < 377; ++x) {
        for (int y = 0; y < 13; ++y) {
            if (qGray(ColourAt(bar, x, y)) < 128) {
                const bool insideText =
                    x >= textLeft - 1 && x <= textLeft + bar.TextWidth("50.0%") + 1;
                ++(insideText ? darkPixels : strayPixels);
            }
        }
    }
    EXPECT_GT(darkPixels, 0);
    EXPECT_EQ(strayPixels, 0);
}

TEST_F(ProgressBarTest, BoxCornersMayComeInEitherOrder) {
    bar.ClearPicture();
    bar.FillBox({300, 13}, {100, 0}, kBlue);

    EXPECT_EQ(ColourAt(bar, 99, 6), ColourAt(bar, 0, 6));
    EXPECT_EQ(ColourAt(bar, 100, 0), 0x0000FFu);
    EXPECT_EQ(ColourAt(bar, 299, 12), 0x0000FFu);
    EXPECT_EQ(ColourAt(bar, 300, 6), ColourAt(bar, 0, 6));
}

}  // namespace
}  // namespace quorvex
