#include "ui/progress/colourvalue.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace quorvex {
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

TEST(ColourFromValue, SystemColoursComeFromTheActiveGroup) {
    QWidget widget;
    widget.setPalette(PaletteWithDistinctGroups());
    widget.setEnabled(false);
    ASSERT_EQ(widget.palette().currentColorGroup(), QPalette::Disabled);

    EXPECT_EQ(ColourFromValue(0x8000000Du, widget.palette()), QColor(10, 20, 30));
    EXPECT_EQ(ColourFromValue(0x8000000Fu, widget.palette()), QColor(40, 50, 60));
    // An index without a palette counterpart falls back to the window colour.
    EXPECT_EQ(ColourFromValue(0x800000FEu, widget.palette()), QColor(70, 80, 90));
}

TEST(ColourFromValue, PlainColoursHaveRedInTheLowByte) {
    const QPalette palette = PaletteWithDistinctGroups();
    EXPECT_EQ(ColourFromValue(0x00FF0000u, palette), QColor(0, 0, 255));
    EXPECT_EQ(ColourFromValue(0x000000FFu, palette), QColor(255, 0, 0));
    EXPECT_EQ(ColourFromValue(0x00123456u, palette), QColor(0x56, 0x34, 0x12));
}

}  // namespace
}  // namespace quorvex
