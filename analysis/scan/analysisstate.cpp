#include "analysis/scan/analysisstate.h"

namespace quorvex {

void InitAnalysisTables(AnalysisState& state) {
    state.CharMap.fill(kSeparator);
    state.CharCount.fill(0);
    state.CharMap[kDeleted] = kDeleted;
    for (int code = 'A'; code <= 'Z'; ++code) {
        state.CharMap[code] = static_cast<std::uint8_t>(code + 32);
        state.CharMap[code + 32] = static_cast<std::uint8_t>(code + 32);
    }
    state.Words.reset();
    state.Words = std::make_shared<WordStore>(state.FixedHashSeed ? *state.FixedHashSeed
                                                                  : WordHash::RandomSeed());
}

}  // namespace quorvex
