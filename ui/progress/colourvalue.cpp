#include "ui/progress/colourvalue.h"

#include <array>
#include <utility>

namespace quorvex {

namespace {

constexpr std::uint32_t kSystemColourFlag = 0x80000000u;

// The classic system colour indices that have a palette role of the same use.
// The system's "window" colour is the background of content such as lists and
// text boxes, which the palette calls Base.
constexpr std::array<std::pair<std::uint8_t, QPalette::ColorRole>, 15> kSystemColourRoles{{
    {4, QPalette::Window},            // menu background
    {5, QPalette::Base},              // window background
    {7, QPalette::WindowText},        // menu text
    {8, QPalette::Text},              // window text
    {12, QPalette::Dark},             // application workspace
    {13, QPalette::Highlight},        // selection highlight
    {14, QPalette::HighlightedText},  // selected text
    {15, QPalette::Button},           // button face
    {16, QPalette::Dark},             // button shadow
    {18, QPalette::ButtonText},       // button text
    {20, QPalette::Light},            // button highlight
    {21, QPalette::Shadow},           // 3-D dark shadow
    {22, QPalette::Midlight},         // 3-D light
    {23, QPalette::ToolTipText},      // tooltip text
    {24, QPalette::ToolTipBase},      // tooltip background
}};

QPalette::ColorRole RoleOfSystemColour(std::uint8_t index) {
    for (const auto& [systemIndex, role] : kSystemColourRoles) {
        if (systemIndex == index) {
            return role;
        }
    }
    return QPalette::Window;
}

}  // namespace

QColor ColourFromValue(std::uint32_t value, const QPalette& palette) {
    if ((value & kSystemColourFlag) != 0) {
        const auto index = static_cast<std::uint8_t>(value & 0xFFu);
        return palette.color(QPalette::Active, RoleOfSystemColour(index));
    }
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

}  // namespace quorvex
