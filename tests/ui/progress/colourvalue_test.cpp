#include "ui/progress/colourvalue.h"

#include <QTest>
#include <QWidget>

using quorvex::ColourFromValue;

namespace {

// Every colour group gets its own highlight and button colours, so that a
// look-up in the wrong group shows.
QPalette PaletteWithDistinctGroups() {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 20, 30));
    palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(11, 21, 31));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(12, 22, 32));
    palette.setColor(QPalette::Active, QPalette::Button, QColor(40, 50, 60));
    palette.setColor(QPalette::Inactive, QPalette::Button, QColor(41, 51, 61));
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(42, 52, 62));
    palette.setColor(QPalette::Active, QPalette::Window, QColor(70, 80, 90));
    return palette;
}

}  // namespace

class ColourValueTest : public QObject {
    Q_OBJECT

  private slots:
    void SystemColoursComeFromTheActiveGroup() {
        QWidget widget;
        widget.setPalette(PaletteWithDistinctGroups());
        widget.setEnabled(false);
        QCOMPARE(widget.palette().currentColorGroup(), QPalette::Disabled);

        QCOMPARE(ColourFromValue(0x8000000Du, widget.palette()), QColor(10, 20, 30));
        QCOMPARE(ColourFromValue(0x8000000Fu, widget.palette()), QColor(40, 50, 60));
        // An index without a palette counterpart falls back to the window colour.
        QCOMPARE(ColourFromValue(0x800000FEu, widget.palette()), QColor(70, 80, 90));
    }

    void PlainColoursHaveRedInTheLowByte() {
        const QPalette palette = PaletteWithDistinctGroups();
        QCOMPARE(ColourFromValue(0x00FF0000u, palette), QColor(0, 0, 255));
        QCOMPARE(ColourFromValue(0x000000FFu, palette), QColor(255, 0, 0));
        QCOMPARE(ColourFromValue(0x00123456u, palette), QColor(0x56, 0x34, 0x12));
    }
};

QTEST_MAIN(ColourValueTest)
#include "colourvalue_test.moc"
