#include "analysis/resultlists.h"

namespace quorvex {

namespace {

void AppendRow(TextTable& table, std::initializer_list<std::u16string_view> texts) {
    auto text = texts.begin();
    table.AppendRow(*text);
    for (++text; text != texts.end(); ++text) {
        table.AddColumnText(*text);
    }
}

void FillSummary(TextTable& summary, const AnalysisState& state, const ScanOutcome& outcome,
                 const NumberSeparators& separators) {
    std::int64_t substitutionTotal = 0;
    for (int b = 0; b < 256; ++b) {
        if (b < 'a' || b > 'z') {
            substitutionTotal += state.CharCount[b];
        }
    }
    summary.RemoveAllRows();
    AppendSummaryHeadRows(summary, state.SourceFileName, state.SourceLength, separators);
    AppendRow(summary, {u"Total Word Count", FormatGrouped(outcome.totalWords, separators)});
    AppendRow(summary,
              {u"Unique Word Count", FormatGrouped(state.Words->UniqueTotal(), separators)});
    AppendRow(summary, {u"Substitution Count", FormatGrouped(substitutionTotal, separators)});
    AppendRow(summary, {u"Time To Complete",
                        FormatSeconds(outcome.elapsedSeconds, separators) + u" seconds"});
}

}  // namespace

void AppendSummaryHeadRows(TextTable& summary, std::u16string_view fileName,
                           std::int64_t sourceLength, const NumberSeparators& separators) {
    AppendRow(summary, {u"File Loaded", fileName});
    AppendRow(summary, {u"File Size", FormatGrouped(sourceLength, separators) + u" bytes"});
}

ResultLists BuildResultLists(const AnalysisState& state, const ScanOutcome& outcome,
                             const NumberSeparators& separators) {
    TextTable summary(kSummaryColumns);
    FillSummary(summary, state, outcome, separators);
    return ResultLists{std::move(summary),
                       SubstitutionRows(state.CharMap, state.CharCount, separators),
                       UniqueWordRows(state.Words, separators)};
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
