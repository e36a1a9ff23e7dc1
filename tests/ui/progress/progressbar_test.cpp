#include "ui/progress/progressbar.h"

#include <QPalette>
#include <QTest>
#include <memory>

#include "ui/progress/modprogress.h"

using quorvex::DrawProgress;
using quorvex::ProgressBar;

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

void Draw(ProgressBar& bar, std::int64_t value, bool showText, std::uint32_t textColor,
          std::uint32_t barColor, std::uint32_t backColor) {
    DrawProgress(&bar, 0, 100, value, showText, textColor, barColor, backColor, 2, false);
}

}  // namespace

class ProgressBarTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        bar_ = std::make_unique<ProgressBar>();
        bar_->resize(377, 13);
    }

    void cleanup() { bar_.reset(); }

    void AHalfBarIsBlueOnTheLeftAndBackgroundOnTheRight() {
        ProgressBar& bar = *bar_;
        Draw(bar, 50, false, kBlack, kBlue, kGrey);

        QVERIFY(bar.isVisible());
        QCOMPARE(ColourAt(bar, 0, 0), 0x0000FFu);
        QCOMPARE(ColourAt(bar, 188, 12), 0x0000FFu);
        QCOMPARE(ColourAt(bar, 189, 0), 0x808080u);
        QCOMPARE(ColourAt(bar, 376, 12), 0x808080u);
        QCOMPARE(bar.grab().toImage().pixel(10, 6) & 0xFFFFFFu, 0x0000FFu);
    }

    void EveryDrawingRepaintsTheWholeBar() {
        ProgressBar& bar = *bar_;
        Draw(bar, 90, true, kBlack, kBlue, kGrey);
        Draw(bar, 10, false, kBlack, kBlue, kGrey);

        for (int x = 38; x < 377; ++x) {
            for (int y = 0; y < 13; ++y) {
                if (ColourAt(bar, x, y) != 0x808080u) {
                    QFAIL(qPrintable(QString("(%1, %2) is not the background").arg(x).arg(y)));
                }
            }
        }
    }

    void SystemColoursFollowThePalette() {
        ProgressBar& bar = *bar_;
        QPalette palette = bar.palette();
        palette.setColor(QPalette::Active, QPalette::Button, QColor(1, 2, 3));
        bar.setPalette(palette);
        Draw(bar, 0, false, kBlack, 0x8000000Fu, 0x8000000Fu);

        QCOMPARE(ColourAt(bar, 0, 0), qRgb(1, 2, 3) & 0xFFFFFFu);
        QCOMPARE(ColourAt(bar, 376, 12), qRgb(1, 2, 3) & 0xFFFFFFu);
    }

    void TheTextIsPrintedInTheMiddleInItsColour() {
        ProgressBar& bar = *bar_;
        Draw(bar, 50, true, kBlack, kWhite, kWhite);

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
        QVERIFY(darkPixels > 0);
        QCOMPARE(strayPixels, 0);
    }

    void BoxCornersMayComeInEitherOrder() {
        ProgressBar& bar = *bar_;
        bar.ClearPicture();
        bar.FillBox({300, 13}, {100, 0}, kBlue);

        QCOMPARE(ColourAt(bar, 99, 6), ColourAt(bar, 0, 6));
        QCOMPARE(ColourAt(bar, 100, 0), 0x0000FFu);
        QCOMPARE(ColourAt(bar, 299, 12), 0x0000FFu);
        QCOMPARE(ColourAt(bar, 300, 6), ColourAt(bar, 0, 6));
    }

  private:
    // A bar of its own for each test, as the window sizes it.
    std::unique_ptr<ProgressBar> bar_;
};

QTEST_MAIN(ProgressBarTest)
#include "progressbar_test.moc"
