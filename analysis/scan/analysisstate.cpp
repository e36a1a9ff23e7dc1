#include "analysis/scan/analysisstate.h"

namespace quorvex {

void InitAnalysisTables(AnalysisState& state) {
    state.CharMap = kWordRule;
    state.CharCount.fill(0);
    state.Words.reset();
    state.Words = std::make_shared<WordStore>(state.FixedHashSeed ? *state.FixedHashSeed
                                                                  : WordHash::RandomSeed());
}

}  // namespace quorvex
