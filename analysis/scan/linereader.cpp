#include "analysis/scan/linereader.h"

#include <algorithm>
#include <cstring>

namespace quorvex {

namespace {

std::int64_t ReadableLength(const AnalysisState& state) {
    return std::min<std::int64_t>(state.SourceLength,
                                  static_cast<std::int64_t>(state.SourceBytes->size()));
}

}  // namespace

bool ReadNextLine(const AnalysisState& state, std::int64_t& position,
                  std::span<const std::uint8_t>& lineBytes, std::int64_t& lineLength) {
    const std::int64_t length = ReadableLength(state);
    if (position < 1 || position > length) {
        return false;
    }
    const std::uint8_t* start = state.SourceBytes->data() + (position - 1);
    const std::size_t left = static_cast<std::size_t>(length - (position - 1));
    const void* lineFeed = std::memchr(start, '\n', left);
    const std::size_t taken =
        lineFeed ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(lineFeed) - start) + 1
                 : left;
    lineBytes = std::span<const std::uint8_t>(start, taken);
    lineLength = static_cast<std::int64_t>(taken);
    position += lineLength;
    return true;
}

}  // namespace quorvex
