#pragma once

#include <cstdint>
#include <string_view>

#include "analysis/rows/reportrows.h"
#include "analysis/rows/texttable.h"
#include "analysis/scan/analysisstate.h"
#include "analysis/scan/documentscan.h"
#include "analysis/text/numberformat.h"

namespace quorvex {

// The Summary list's columns and rows, in the order the list shows them.
enum class SummaryColumn { Item, Value };
inline constexpr int kSummaryColumnCount = IndexOf(SummaryColumn::Value) + 1;

enum class SummaryRow {
    FileLoaded,
    FileSize,
    TotalWordCount,
    UniqueWordCount,
    SubstitutionCount,
    TimeToComplete,
};

// "File Loaded" and "File Size": the Summary of a loaded document before
// any run.
TextTable SummaryOfLoadedDocument(std::u16string_view fileName, std::int64_t sourceLength,
                                  const NumberSeparators& separators);

// All six rows after a run.
TextTable SummaryOfRun(const AnalysisState& state, const ScanOutcome& outcome,
                       const NumberSeparators& separators);

}  // namespace quorvex
