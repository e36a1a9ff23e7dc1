#pragma once

#include <cstdint>
#include <span>

#include "analysis/scan/analysisstate.h"

namespace quorvex {

// Cuts the next line out of the loaded document: the bytes from `position`
// (1-based) up to and including the next line feed, or up to the document's
// last byte when no line feed is left. On success `position` points one past
// the line, `lineBytes` views the line inside SourceBytes and `lineLength` is
// its length. Returns false, changing nothing, when no byte is left.
bool ReadNextLine(const AnalysisState& state, std::int64_t& position,
                  std::span<const std::uint8_t>& lineBytes, std::int64_t& lineLength);

}  // namespace quorvex
