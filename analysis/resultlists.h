#pragma once

#include <optional>
#include <string>

#include "analysis/analysisstate.h"
#include "analysis/documentscan.h"
#include "analysis/numberformat.h"
#include "analysis/resultrows.h"
#include "analysis/texttable.h"

namespace quorvex {

inline constexpr int kSummaryColumns = 2;
inline constexpr int kSubstitutionColumns = 4;
inline constexpr int kUniqueColumns = 4;

// The rows of the three report lists after a run. The Summary's six rows
// are texts; the other two lists make their texts when asked.
struct ResultLists {
    TextTable summary;
    SubstitutionRows substitution;
    UniqueWordRows unique;
};

// "File Loaded" and "File Size", appended to `summary` as the first two rows.
void AppendSummaryHeadRows(TextTable& summary, std::u16string_view fileName,
                           std::int64_t sourceLength, const NumberSeparators& separators);

// The rows of all three lists from a finished scan.
ResultLists BuildResultLists(const AnalysisState& state, const ScanOutcome& outcome,
                             const NumberSeparators& separators);

// A whole run: the scan, then the rows of the three lists. Returns nothing
// when a hook stopped the run; no rows are built then.
std::optional<ResultLists> AnalyseDocument(AnalysisState& state, RunHooks& hooks,
                                           const NumberSeparators& separators);

}  // namespace quorvex
