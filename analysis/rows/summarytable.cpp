#include "analysis/rows/summarytable.h"

#include <initializer_list>
#include <string>

#include "analysis/rows/rowtexts.h"

namespace quorvex {

namespace {

void AppendRow(TextTable& table, std::initializer_list<std::u16string_view> texts) {
    auto text = texts.begin();
    table.AppendRow(*text);
    for (++text; text != texts.end(); ++text) {
        table.AddColumnText(*text);
    }
}

void AppendHeadRows(TextTable& summary, std::u16string_view fileName, std::int64_t sourceLength,
                    const NumberSeparators& separators) {
    AppendRow(summary, {rowtext::kFileLoaded, fileName});
    AppendRow(summary, {rowtext::kFileSize,
                        FormatGrouped(sourceLength, separators).append(rowtext::kBytesUnit)});
}

}  // namespace

TextTable SummaryOfLoadedDocument(std::u16string_view fileName, std::int64_t sourceLength,
                                  const NumberSeparators& separators) {
    TextTable summary(kSummaryColumnCount);
    AppendHeadRows(summary, fileName, sourceLength, separators);
    return summary;
}

TextTable SummaryOfRun(const AnalysisState& state, const ScanOutcome& outcome,
                       const NumberSeparators& separators) {
    std::int64_t substitutionTotal = 0;
    for (int b = 0; b < 256; ++b) {
        if (b < 'a' || b > 'z') {
            substitutionTotal += state.CharCount[b];
        }
    }
    TextTable summary(kSummaryColumnCount);
    AppendHeadRows(summary, state.SourceFileName, state.SourceLength, separators);
    AppendRow(summary, {rowtext::kTotalWordCount, FormatGrouped(outcome.totalWords, separators)});
    AppendRow(summary, {rowtext::kUniqueWordCount,
                        FormatGrouped(state.UniqueWords->UniqueTotal(), separators)});
    AppendRow(summary, {rowtext::kSubstitutionCount, FormatGrouped(substitutionTotal, separators)});
    AppendRow(summary,
              {rowtext::kTimeToComplete,
               FormatSeconds(outcome.elapsedSeconds, separators).append(rowtext::kSecondsUnit)});
    return summary;
}

}  // namespace quorvex
