#include "ui/progress/modprogress.h"

#include <QTest>
#include <cstdint>

#include "fakesurface.h"

using quorvex::DrawProgress;
using quorvex::testing::FakeSurface;

namespace {

constexpr std::uint32_t kTextColour = 0x8000000Du;
constexpr std::uint32_t kBarColour = 0x00FF0000u;
constexpr std::uint32_t kBackColour = 0x8000000Fu;
constexpr std::int32_t kCentred = 2;

struct Drawing {
    std::int64_t minValue = 0;
    std::int64_t maxValue = 100;
    std::int64_t value = 50;
    bool showText = false;
    std::int32_t textAlign = kCentred;
    bool skipSetup = false;
};

QStringList Draw(FakeSurface& surface, const Drawing& drawing) {
    DrawProgress(&surface, drawing.minValue, drawing.maxValue, drawing.value, drawing.showText,
                 kTextColour, kBarColour, kBackColour, drawing.textAlign, drawing.skipSetup);
    return surface.Calls();
}

QStringList Draw(const Drawing& drawing) {
    FakeSurface surface;
    return Draw(surface, drawing);
}

QString Operation(const QString& call) {
    return call.section(' ', 0, 0);
}

QStringList CallsOf(const QStringList& calls, const QString& operation) {
    QStringList matching;
    for (const QString& call : calls) {
        if (Operation(call) == operation) {
            matching.append(call);
        }
    }
    return matching;
}

QStringList Without(QStringList calls, const QStringList& operations) {
    calls.removeIf([&](const QString& call) { return operations.contains(Operation(call)); });
    return calls;
}

const QStringList kSetUp = {"AutoRedraw true", "AutoSize false", "ClearPicture", "Visible true"};
const QStringList kHalfBar = {"Fill 0 0 188.5 13 ff0000", "Fill 188.5 0 377 13 8000000f"};
const QStringList kRefresh = {"Refresh"};
// "50.0%" is 35 units wide and 9 high on a surface of 377 by 13.
const QStringList kCentredHalfText = {"CurrentX 171", "CurrentY 2", "ForeColor 8000000d",
                                      "Print 50.0%"};

}  // namespace

class ModProgressTest : public QObject {
    Q_OBJECT

  private slots:
    void PaintsSetUpBarTextAndRefreshInThatOrderUnlessSetUpIsSkipped() {
        QCOMPARE(Draw({}), kSetUp + kHalfBar + kRefresh);
        QCOMPARE(Draw({.showText = true}), kSetUp + kHalfBar + kCentredHalfText + kRefresh);
        // Skipping the set-up leaves the surface's settings alone.
        QCOMPARE(Draw({.skipSetup = true}), kHalfBar + kRefresh);
        QCOMPARE(Draw({.showText = true, .skipSetup = true}),
                 kHalfBar + kCentredHalfText + kRefresh);
    }

    void BarAndBackgroundCoverTheSurfaceWithoutClamping_data() {
        QTest::addColumn<qint64>("minValue");
        QTest::addColumn<qint64>("maxValue");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QStringList>("fills");
        const QStringList emptyBar = {"Fill 0 0 0 13 ff0000", "Fill 0 0 377 13 8000000f"};
        const QStringList fullBar = {"Fill 0 0 377 13 ff0000", "Fill 377 0 377 13 8000000f"};
        QTest::newRow("empty range") << qint64{5} << qint64{5} << qint64{7} << emptyBar;
        QTest::newRow("at the minimum") << qint64{0} << qint64{100} << qint64{0} << emptyBar;
        QTest::newRow("at the maximum") << qint64{0} << qint64{100} << qint64{100} << fullBar;
        QTest::newRow("below the minimum")
            << qint64{0} << qint64{100} << qint64{-20}
            << QStringList{"Fill 0 0 -75.4 13 ff0000", "Fill -75.4 0 377 13 8000000f"};
        QTest::newRow("above the maximum")
            << qint64{0} << qint64{100} << qint64{150}
            << QStringList{"Fill 0 0 565.5 13 ff0000", "Fill 565.5 0 377 13 8000000f"};
        QTest::newRow("maximum below minimum") << qint64{10} << qint64{0} << qint64{5} << kHalfBar;
        QTest::newRow("maximum below minimum, at it")
            << qint64{10} << qint64{0} << qint64{0} << fullBar;
        QTest::newRow("positions past 32 bits")
            << qint64{0} << qint64{4294967296} << qint64{2147483648} << kHalfBar;
    }

    void BarAndBackgroundCoverTheSurfaceWithoutClamping() {
        QFETCH(qint64, minValue);
        QFETCH(qint64, maxValue);
        QFETCH(qint64, value);
        QFETCH(QStringList, fills);
        QCOMPARE(
            CallsOf(Draw({.minValue = minValue, .maxValue = maxValue, .value = value}), "Fill"),
            fills);
    }

    void ShowsThePercentageWithOneDecimalUnclamped_data() {
        QTest::addColumn<qint64>("minValue");
        QTest::addColumn<qint64>("maxValue");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("print");
        QTest::newRow("half") << qint64{0} << qint64{1000} << qint64{500} << "Print 50.0%";
        QTest::newRow("rounded") << qint64{0} << qint64{10000} << qint64{1234} << "Print 12.3%";
        QTest::newRow("above") << qint64{0} << qint64{2} << qint64{3} << "Print 150.0%";
        QTest::newRow("below") << qint64{0} << qint64{100} << qint64{-5} << "Print -5.0%";
        QTest::newRow("full") << qint64{0} << qint64{100} << qint64{100} << "Print 100.0%";
        QTest::newRow("empty range") << qint64{3} << qint64{3} << qint64{9} << "Print 0.0%";
        // Zero reached from a reversed range or from just below shows no sign.
        QTest::newRow("reversed range") << qint64{10} << qint64{0} << qint64{10} << "Print 0.0%";
        QTest::newRow("just below") << qint64{0} << qint64{100000} << qint64{-4} << "Print 0.0%";
        QTest::newRow("past 32 bits")
            << qint64{0} << qint64{4294967296} << qint64{2147483648} << "Print 50.0%";
    }

    void ShowsThePercentageWithOneDecimalUnclamped() {
        QFETCH(qint64, minValue);
        QFETCH(qint64, maxValue);
        QFETCH(qint64, value);
        QFETCH(QString, print);
        const Drawing drawing{
            .minValue = minValue, .maxValue = maxValue, .value = value, .showText = true};
        QCOMPARE(CallsOf(Draw(drawing), "Print"), QStringList{print});
    }

    void PlacesTheTextByAlignmentAndCentresItVertically_data() {
        QTest::addColumn<int>("textAlign");
        QTest::addColumn<QStringList>("currentX");
        QTest::newRow("left") << 0 << QStringList{"CurrentX 1"};
        QTest::newRow("right") << 1 << QStringList{"CurrentX 341"};
        QTest::newRow("centre") << 2 << QStringList{"CurrentX 171"};
        QTest::newRow("unknown") << 7 << QStringList{};
        QTest::newRow("negative") << -1 << QStringList{};
    }

    void PlacesTheTextByAlignmentAndCentresItVertically() {
        QFETCH(int, textAlign);
        QFETCH(QStringList, currentX);
        // On a surface 20 high the text of 9 starts at 5.5.
        FakeSurface surface(377, 20);
        const QStringList calls = Draw(surface, {.showText = true, .textAlign = textAlign});
        QCOMPARE(CallsOf(calls, "CurrentX"), currentX);
        QCOMPARE(CallsOf(calls, "CurrentY"), QStringList{"CurrentY 5.5"});
        QCOMPARE(CallsOf(calls, "Print"), QStringList{"Print 50.0%"});
    }

    void SkipsOnlyTheStepsThatARefusedOperationBelongsTo_data() {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QStringList>("lost");
        for (const char* operation : {"AutoRedraw", "AutoSize", "ClearPicture", "Visible", "Fill",
                                      "CurrentX", "CurrentY", "ForeColor", "Print", "Refresh"}) {
            QTest::newRow(operation) << QString(operation) << QStringList{operation};
        }
        QTest::newRow("ScaleWidth") << "ScaleWidth" << QStringList{"Fill", "CurrentX"};
        QTest::newRow("ScaleHeight") << "ScaleHeight" << QStringList{"Fill", "CurrentY"};
        QTest::newRow("TextWidth") << "TextWidth" << QStringList{"CurrentX"};
        QTest::newRow("TextHeight") << "TextHeight" << QStringList{"CurrentY"};
    }

    void SkipsOnlyTheStepsThatARefusedOperationBelongsTo() {
        QFETCH(QString, refused);
        QFETCH(QStringList, lost);
        FakeSurface surface;
        surface.FailOn(refused);
        QStringList calls;
        QVERIFY_THROWS_NO_EXCEPTION(calls = Draw(surface, {.showText = true}));
        QCOMPARE(calls, Without(kSetUp + kHalfBar + kCentredHalfText + kRefresh, lost));
    }

    void ARefusedBarStillGetsItsBackground() {
        FakeSurface surface;
        surface.FailOn("Fill", 1);
        QCOMPARE(CallsOf(Draw(surface, {}), "Fill"), QStringList{kHalfBar[1]});
    }

    void ASurfaceRefusingEverythingOrNoSurfaceThrowsNothing() {
        FakeSurface surface;
        for (const char* operation :
             {"AutoRedraw", "AutoSize", "ClearPicture", "Visible", "ScaleWidth", "ScaleHeight",
              "Fill", "TextWidth", "TextHeight", "CurrentX", "CurrentY", "ForeColor", "Print",
              "Refresh"}) {
            surface.FailOn(operation);
        }
        QVERIFY_THROWS_NO_EXCEPTION(Draw(surface, {.showText = true}));
        QVERIFY(surface.Calls().isEmpty());

        QVERIFY_THROWS_NO_EXCEPTION(DrawProgress(nullptr, 0, 100, 50, true, kTextColour, kBarColour,
                                                 kBackColour, kCentred, false));
    }
};

QTEST_MAIN(ModProgressTest)
#include "modprogress_test.moc"
