#pragma once

#include <optional>

#include "analysis/rows/substitutionrows.h"
#include "analysis/rows/texttable.h"
#include "analysis/rows/uniquewordrows.h"
#include "analysis/scan/analysisstate.h"
#include "analysis/scan/documentscan.h"
#include "analysis/text/numberformat.h"

namespace quorvex {

// The rows of the three report lists after a run. The Summary's six rows
// are texts; the other two lists make their texts when asked.
struct ResultLists {
    TextTable summary;
    SubstitutionRows substitution;
    UniqueWordRows unique;
};

// The rows of all three lists from a finished scan.
ResultLists BuildResultLists(const AnalysisState& state, const ScanOutcome& outcome,
                             const NumberSeparators& separators);

// A whole run: the scan, then the rows of the three lists. Returns nothing
// when a hook stopped the run; no rows are built then.
std::optional<ResultLists> AnalyseDocument(AnalysisState& state, RunHooks& hooks,
                                           const NumberSeparators& separators);

}  // namespace quorvex
