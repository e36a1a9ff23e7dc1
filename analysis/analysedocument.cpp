#include "analysis/analysedocument.h"

#include "analysis/rows/summarytable.h"

namespace quorvex {

ResultLists BuildResultLists(const AnalysisState& state, const ScanOutcome& outcome,
                             const NumberSeparators& separators) {
    return ResultLists{SummaryOfRun(state, outcome, separators),
                       SubstitutionRows(state.CharMap, state.CharCount, separators),
                       UniqueWordRows(state.UniqueWords, separators)};
}

std::optional<ResultLists> AnalyseDocument(AnalysisState& state, RunHooks& hooks,
                                           const NumberSeparators& separators) {
    const std::optional<ScanOutcome> outcome = ScanDocument(state, hooks);
    if (!outcome) {
        return std::nullopt;
    }
    return BuildResultLists(state, *outcome, separators);
}

}  // namespace quorvex
