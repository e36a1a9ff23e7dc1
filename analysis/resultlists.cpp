#include "analysis/resultlists.h"

#include <algorithm>

#include "analysis/codepage.h"

namespace quorvex {

namespace {

constexpr std::size_t kCountWidth = 12;
constexpr std::size_t kOrderWidth = 8;

// A fixed-width column grows, for all its rows alike, when its longest text
// would not fit: numbers are never cut, and text order stays numeric order.
std::size_t ColumnWidth(std::size_t standardWidth, std::u16string_view longestText) {
    return std::max(standardWidth, CharacterCount(longestText));
}

void AppendRow(TextTable& table, std::initializer_list<std::u16string_view> texts) {
    auto text = texts.begin();
    table.AppendRow(*text);
    for (++text; text != texts.end(); ++text) {
        table.AddColumnText(*text);
    }
}

std::u16string CharText(int code) {
    return (code < 32 || code > 126) ? u" " : std::u16string(1, static_cast<char16_t>(code));
}

std::u16string ReplacedWithText(std::uint8_t mapped) {
    if (mapped == kSeparator) {
        return u"  {space char}";
    }
    if (mapped == kDeleted) {
        return u"{deleted char}";
    }
    return std::u16string(1, static_cast<char16_t>(mapped));
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
              {u"Unique Word Count", FormatGrouped(state.Words.UniqueTotal(), separators)});
    AppendRow(summary, {u"Substitution Count", FormatGrouped(substitutionTotal, separators)});
    AppendRow(summary, {u"Time To Complete",
                        FormatSeconds(outcome.elapsedSeconds, separators) + u" seconds"});
}

void FillSubstitutions(TextTable& substitution, const AnalysisState& state,
                       const NumberSeparators& separators) {
    const std::int64_t largest = *std::max_element(state.CharCount.begin(), state.CharCount.end());
    const std::size_t width = ColumnWidth(kCountWidth, FormatGrouped(largest, separators));
    substitution.RemoveAllRows();
    for (int b = 0; b < 256; ++b) {
        AppendRow(substitution, {FormatDigits(b), CharText(b),
                                 FixedWidth(FormatGrouped(state.CharCount[b], separators), width),
                                 ReplacedWithText(state.CharMap[b])});
    }
}

void FillUniqueWords(TextTable& unique, const WordStore& words,
                     const NumberSeparators& separators) {
    std::int64_t largest = 0;
    std::size_t wordChars = 0;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        for (std::int64_t slot = 1; slot <= words.BucketFill(letter); ++slot) {
            largest = std::max(largest, words.WordHits(letter, slot));
            wordChars +=
                words.WordText(letter, slot).size() + words.WordFirstOccurs(letter, slot).size();
        }
    }
    const std::size_t countWidth = ColumnWidth(kCountWidth, FormatGrouped(largest, separators));
    const std::size_t orderWidth = ColumnWidth(kOrderWidth, FormatDigits(words.UniqueTotal()));
    const auto rowCount = static_cast<std::size_t>(words.UniqueTotal());

    unique.RemoveAllRows();
    unique.Reserve(rowCount, wordChars + rowCount * (countWidth + orderWidth));
    std::int64_t orderNumber = 0;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const std::int64_t fill = words.BucketFill(letter);
        for (std::int64_t slot = 1; slot <= fill; ++slot) {
            unique.AppendRow(DecodeWindows1252(words.WordText(letter, slot)));
            unique.AddColumnText(
                FixedWidth(FormatGrouped(words.WordHits(letter, slot), separators), countWidth));
            unique.AddColumnText(DecodeWindows1252(words.WordFirstOccurs(letter, slot)));
            unique.AddColumnText(FixedWidth(FormatDigits(++orderNumber), orderWidth));
        }
    }
}

}  // namespace

void AppendSummaryHeadRows(TextTable& summary, std::u16string_view fileName,
                           std::int64_t sourceLength, const NumberSeparators& separators) {
    AppendRow(summary, {u"File Loaded", fileName});
    AppendRow(summary, {u"File Size", FormatGrouped(sourceLength, separators) + u" bytes"});
}

ResultLists BuildResultLists(const AnalysisState& state, const ScanOutcome& outcome,
                             const NumberSeparators& separators) {
    ResultLists lists;
    FillSummary(lists.summary, state, outcome, separators);
    FillSubstitutions(lists.substitution, state, separators);
    FillUniqueWords(lists.unique, state.Words, separators);
    return lists;
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
