#include "analysis/scan/analysisstate.h"

namespace quorvex {

void InitAnalysisTables(AnalysisState& state) {
    state.CharMap = kWordRule;
    state.CharCount.fill(0);
    DiscardRunResults(state);
    state.Words.emplace(state.FixedHashSeed ? *state.FixedHashSeed : WordHash::RandomSeed());
}

void DiscardRunResults(AnalysisState& state) {
    state.Words.reset();
    // Released before the empty table is made, which then cannot be refused
    // for memory the failed run still held.
    state.UniqueWords.reset();
    state.UniqueWords = std::make_shared<const WordTable>();
}

}  // namespace quorvex
