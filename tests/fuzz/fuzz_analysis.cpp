// Any bytes as a document, through a whole run and every row of the three
// lists. Whatever the input, the totals must agree with the rows, the store
// must hold distinct words of small letters only, a second run must give the
// same rows, and the rows must be those of the slow reference model.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysedocument.h"
#include "analysis/rows/summarytable.h"
#include "tests/analysis/analysistesting.h"
#include "tests/analysis/referencemodel.h"

namespace quorvex::test {
namespace {

constexpr std::size_t kTotalWordsRow = IndexOf(SummaryRow::TotalWordCount);
constexpr std::size_t kUniqueWordsRow = IndexOf(SummaryRow::UniqueWordCount);
constexpr std::size_t kSubstitutionCountRow = IndexOf(SummaryRow::SubstitutionCount);
constexpr std::size_t kTimeRow = IndexOf(SummaryRow::TimeToComplete);
constexpr int kValueColumn = IndexOf(SummaryColumn::Value);
constexpr int kSubstitutionCountColumn = IndexOf(SubstitutionRows::Column::Count);
constexpr int kUniqueCountColumn = IndexOf(UniqueWordRows::Column::Count);
constexpr int kOriginalOrderColumn = IndexOf(UniqueWordRows::Column::OriginalOrder);
constexpr char16_t kFileName[] = u"fuzz input.txt";

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

std::u16string Cell(const ReportRows& table, std::size_t row, int column) {
    return table.Cell(row, column);
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Digits between separators: one to three in the first group, three in every other.
bool WholeGroup(std::size_t digits, bool firstGroup) {
    return firstGroup ? digits >= 1 && digits <= 3 : digits == 3;
}

// The value of a text in the "###,###,###,##0" pattern, possibly padded on
// the left with spaces; nothing when the text is not in that pattern.
std::optional<std::int64_t> GroupedValue(std::u16string_view text,
                                         const NumberSeparators& separators) {
    text.remove_prefix(std::min(text.find_first_not_of(u' '), text.size()));
    if (text.empty() || (text.size() > 1 && text.front() == u'0')) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    std::size_t groupDigits = 0;
    bool firstGroup = true;
    while (!text.empty()) {
        if (text.starts_with(separators.thousands)) {
            if (!WholeGroup(groupDigits, firstGroup)) {
                return std::nullopt;
            }
            text.remove_prefix(separators.thousands.size());
            groupDigits = 0;
            firstGroup = false;
        } else if (IsDigit(text.front())) {
            value = value * 10 + (text.front() - u'0');
            ++groupDigits;
            text.remove_prefix(1);
        } else {
            return std::nullopt;
        }
    }
    if (!WholeGroup(groupDigits, firstGroup)) {
        return std::nullopt;
    }
    return value;
}

std::int64_t Count(const ReportRows& table, std::size_t row, int column,
                   const NumberSeparators& separators) {
    const std::optional<std::int64_t> value = GroupedValue(Cell(table, row, column), separators);
    Check(value.has_value(), "a count text is a grouped number");
    return *value;
}

// Every text of a fixed-width column has the same width, at least the standard one.
void CheckFixedWidth(const ReportRows& table, int column, std::size_t standardWidth) {
    if (table.RowCount() == 0) {
        return;
    }
    const std::size_t width = table.Cell(0, column).size();
    Check(width >= standardWidth, "a fixed-width column is at least its standard width");
    for (std::size_t row = 0; row < table.RowCount(); ++row) {
        Check(table.Cell(row, column).size() == width, "a fixed-width column has one width");
    }
}

bool IsWord(std::u16string_view word) {
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; });
}

// Returns the letters of all word occurrences: each word's length times its count.
std::int64_t CheckUniqueWords(const ResultLists& lists, const NumberSeparators& separators) {
    const ReportRows& unique = lists.unique;
    std::set<std::u16string> seen;
    std::u16string previous;
    std::int64_t occurrences = 0;
    std::int64_t letters = 0;
    for (std::size_t row = 0; row < unique.RowCount(); ++row) {
        const std::u16string word = Cell(unique, row, 0);
        Check(IsWord(word), "a stored word is made of a to z only");
        Check(seen.insert(word).second, "a stored word is stored once");
        Check(previous.empty() || previous.front() <= word.front(), "words come by first letter");
        previous = word;
        const std::int64_t count = Count(unique, row, kUniqueCountColumn, separators);
        Check(count > 0, "a stored word occurs");
        occurrences += count;
        letters += count * static_cast<std::int64_t>(word.size());
        const std::u16string order = Cell(unique, row, kOriginalOrderColumn);
        Check(order == FixedWidth(FormatDigits(static_cast<std::int64_t>(row) + 1), order.size()),
              "rows are numbered in order");
    }
    CheckFixedWidth(unique, kUniqueCountColumn, kCountWidth);
    CheckFixedWidth(unique, kOriginalOrderColumn, 8);

    const ReportRows& summary = lists.summary;
    Check(Count(summary, kTotalWordsRow, 1, separators) == occurrences,
          "the word counts add up to Total Word Count");
    Check(Count(summary, kUniqueWordsRow, 1, separators) ==
              static_cast<std::int64_t>(unique.RowCount()),
          "Unique Word Count is the number of rows");
    return letters;
}

void CheckSubstitutions(const ResultLists& lists, const NumberSeparators& separators,
                        std::int64_t wordLetters) {
    const ReportRows& substitution = lists.substitution;
    Check(substitution.RowCount() == 256, "one Substitutions row per byte value");
    std::int64_t letters = 0;
    std::int64_t notSmallLetters = 0;
    for (std::size_t row = 0; row < 256; ++row) {
        Check(Cell(substitution, row, 0) == FormatDigits(static_cast<std::int64_t>(row)),
              "Substitutions rows come in byte order");
        const std::int64_t count = Count(substitution, row, kSubstitutionCountColumn, separators);
        const bool small = row >= 'a' && row <= 'z';
        if (small || (row >= 'A' && row <= 'Z')) {
            letters += count;
        }
        if (!small) {
            notSmallLetters += count;
        }
    }
    CheckFixedWidth(substitution, kSubstitutionCountColumn, kCountWidth);
    Check(letters == wordLetters, "the letters counted are the letters of all words");
    Check(Count(lists.summary, kSubstitutionCountRow, 1, separators) == notSmallLetters,
          "Substitution Count is every counted byte but the small letters");
}

void CheckSummaryHead(const ResultLists& lists, std::int64_t size,
                      const NumberSeparators& separators) {
    const ReportRows& summary = lists.summary;
    Check(summary.RowCount() == 6, "six Summary rows");
    Check(Cell(summary, IndexOf(SummaryRow::FileLoaded), kValueColumn) == kFileName,
          "File Loaded names the document");
    Check(Cell(summary, IndexOf(SummaryRow::FileSize), kValueColumn) ==
              FormatGrouped(size, separators) + u" bytes",
          "File Size is the document's size");
}

void CheckInvariants(const ResultLists& lists, std::int64_t size,
                     const NumberSeparators& separators) {
    CheckSummaryHead(lists, size, separators);
    CheckSubstitutions(lists, separators, CheckUniqueWords(lists, separators));
    Check(!FirstSortDifference(lists.unique), "a list sorts in the order of its texts");
}

Rows WithoutTime(const ReportRows& summary) {
    Rows rows = RowsOf(summary);
    rows.at(kTimeRow).at(kValueColumn).clear();
    return rows;
}

// Every cell alike, but the elapsed time in the Summary.
bool SameTexts(const ReportRows& a, const ReportRows& b) {
    if (a.RowCount() != b.RowCount() || a.ColumnCount() != b.ColumnCount()) {
        return false;
    }
    const bool summary = a.ColumnCount() == kSummaryColumnCount;
    for (std::size_t row = 0; row < a.RowCount(); ++row) {
        for (int column = 0; column < a.ColumnCount(); ++column) {
            const bool time = summary && row == kTimeRow && column == kValueColumn;
            if (!time && a.Cell(row, column) != b.Cell(row, column)) {
                return false;
            }
        }
    }
    return true;
}

bool SameRowsButTime(const ResultLists& a, const ResultLists& b) {
    return SameTexts(a.summary, b.summary) && SameTexts(a.substitution, b.substitution) &&
           SameTexts(a.unique, b.unique);
}

bool SameAsModel(const ResultLists& lists, const ReferenceRun& model) {
    return WithoutTime(lists.summary) == model.summary &&
           RowsOf(lists.substitution) == model.substitution && RowsOf(lists.unique) == model.unique;
}

void RunDocument(std::string_view document) {
    const NumberSeparators plain{u",", u"."};
    const NumberSeparators narrowSpace{u"\u202F", u","};
    const auto size = static_cast<std::int64_t>(document.size());

    AnalysisState state = LoadedState(document, kFileName);
    SilentHooks hooks;
    const std::optional<ResultLists> first = AnalyseDocument(state, hooks, plain);
    Check(first.has_value(), "a run nobody stops ends with rows");
    CheckInvariants(*first, size, plain);

    // Again on the same state, as the window does when asked twice.
    const std::optional<ScanOutcome> outcome = ScanDocument(state, hooks);
    Check(outcome.has_value(), "a scan nobody stops ends");
    Check(SameRowsButTime(*first, BuildResultLists(state, *outcome, plain)),
          "the same bytes give the same rows");
    Check(state.SourceLength == size &&
              std::string_view(reinterpret_cast<const char*>(state.SourceBytes.data()),
                               state.SourceBytes.size()) == document,
          "a run leaves the document alone");

    const ResultLists narrow = BuildResultLists(state, *outcome, narrowSpace);
    CheckInvariants(narrow, size, narrowSpace);
    Check(SameAsModel(narrow, RunReferenceModel(document, kFileName, narrowSpace)),
          "the rows are those of the reference model");
}

}  // namespace
}  // namespace quorvex::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvex::test::RunDocument(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
