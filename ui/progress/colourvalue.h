#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace quorvex {

// The colour values the window draws with.
inline constexpr std::uint32_t kSystemHighlight = 0x8000000Du;
inline constexpr std::uint32_t kSystemButtonFace = 0x8000000Fu;
inline constexpr std::uint32_t kSystemButtonText = 0x80000012u;
inline constexpr std::uint32_t kPureBlue = 0x00FF0000u;

// A 32-bit colour value. With the top bit set, the low byte is a classic
// system colour index, looked up in the palette's active group (a disabled
// window still shows its progress in the normal colours); an index without a
// counterpart gives the palette's Window colour. Otherwise the value is
// 0x00BBGGRR, red in the low byte, the reverse of QRgb.
QColor ColourFromValue(std::uint32_t value, const QPalette& palette);

}  // namespace quorvex
