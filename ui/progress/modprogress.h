#pragma once

#include <cstdint>

#include "ui/progress/drawingsurface.h"

namespace quorvex {

// Where DrawProgress puts the percentage text.
enum TextAlign : std::int32_t { kAlignLeft = 0, kAlignRight = 1, kAlignCentred = 2 };

// Paints a horizontal percentage bar over the whole of `surface`: the part
// from minValue to value in barColor, the rest in backColor, optionally the
// percentage as text, then repaints the surface at once. Values outside
// minValue..maxValue are drawn as they are, not clamped. Every step that the
// surface refuses is skipped; nothing is ever thrown to the caller. A null
// surface is left alone.
void DrawProgress(DrawingSurface* surface, std::int64_t minValue, std::int64_t maxValue,
                  std::int64_t value, bool showText, std::uint32_t textColor,
                  std::uint32_t barColor, std::uint32_t backColor, std::int32_t textAlign,
                  bool skipSetup);

}  // namespace quorvex
