// Any bytes as a document, through a whole run and every row of the three
// lists. Whatever the input, the totals must agree with the rows, the store
// must hold distinct words of small letters only, a list must sort by its
// texts, a second run must find the same, and the rows must be those of the
// slow reference model.
//
// The fuzzer finds only as much as it can try, so every check is exact but
// none pays twice: each list's texts are taken once and every check reads
// those, and the second run is compared with the first by what the rows are
// made from (the byte counts and the word table) rather than by making all
// their texts again.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
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
constexpr std::uint64_t kFirstHashSeed = 0x243F6A8885A308D3;
constexpr std::uint64_t kSecondHashSeed = 0x13198A2E03707344;

void Check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// The texts of a list, row after row in one buffer: of every column, or
// only of those in `columns` (by bit), the others left empty. One buffer
// rather than a string a cell, and taken again into the memory the last
// list's texts left: under the address sanitizer every allocation is slow,
// and a Substitutions list alone has a thousand cells.
class Texts {
  public:
    static constexpr std::uint32_t kEveryColumn = ~0u;

    void Take(const ReportRows& table, std::uint32_t columns = kEveryColumn) {
        columns_ = static_cast<std::size_t>(table.ColumnCount());
        rows_ = table.RowCount();
        text_.clear();
        ends_.clear();
        for (std::size_t row = 0; row < rows_; ++row) {
            for (std::size_t column = 0; column < columns_; ++column) {
                if ((columns >> column & 1) != 0) {
                    text_ += table.Cell(row, static_cast<int>(column));
                }
                ends_.push_back(text_.size());
            }
        }
    }

    std::size_t Rows() const { return rows_; }
    std::size_t Columns() const { return columns_; }
    std::u16string_view operator()(std::size_t row, int column) const {
        const std::size_t cell = row * columns_ + static_cast<std::size_t>(column);
        const std::size_t begin = cell == 0 ? 0 : ends_[cell - 1];
        return std::u16string_view(text_).substr(begin, ends_[cell] - begin);
    }

  private:
    std::size_t columns_ = 0;
    std::size_t rows_ = 0;
    std::u16string text_;
    std::vector<std::size_t> ends_;  // end of each cell's text in text_
};

// The Substitutions texts that CheckInvariants reads.
constexpr std::uint32_t kCheckedSubstitutionColumns = 1u << 0 | 1u << kSubstitutionCountColumn;

// The texts of a run's lists: every text, or only those the invariants read.
struct ListTexts {
    enum class Extent { Invariants, Everything };

    void Take(const ResultLists& lists, Extent extent) {
        summary.Take(lists.summary);
        substitution.Take(lists.substitution, extent == Extent::Everything
                                                  ? Texts::kEveryColumn
                                                  : kCheckedSubstitutionColumns);
        unique.Take(lists.unique);
    }

    Texts summary;
    Texts substitution;
    Texts unique;
};

// What the checks of an input fill, kept for the next input so that it is
// filled again rather than allocated again. It grows only when an input
// needs more than any before it: libFuzzer takes an input that ends with
// more memory allocated than it began with for a leak, and runs it again to
// find out.
struct CheckMemory {
    ListTexts firstTexts;
    ListTexts narrowTexts;
    ReferenceRun model;
};

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Whether `text` is the plain digits of `value`: worked out here rather than
// by the engine's formatting, so that the check leans not on the code it
// checks, and makes no string for each of a list's rows.
bool IsDigitsOf(std::u16string_view text, std::uint64_t value) {
    char16_t digits[20];
    std::size_t first = std::size(digits);
    do {
        digits[--first] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return text == std::u16string_view(digits + first, std::size(digits) - first);
}

// Whether `text` is the plain digits of `value` after spaces, if any.
bool IsPaddedDigitsOf(std::u16string_view text, std::uint64_t value) {
    text.remove_prefix(std::min(text.find_first_not_of(u' '), text.size()));
    return IsDigitsOf(text, value);
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

std::int64_t Count(const Texts& table, std::size_t row, int column,
                   const NumberSeparators& separators) {
    const std::optional<std::int64_t> value = GroupedValue(table(row, column), separators);
    Check(value.has_value(), "a count text is a grouped number");
    return *value;
}

// Every text of a fixed-width column has the same width, at least the standard one.
void CheckFixedWidth(const Texts& table, int column, std::size_t standardWidth) {
    if (table.Rows() == 0) {
        return;
    }
    const std::size_t width = table(0, column).size();
    Check(width >= standardWidth, "a fixed-width column is at least its standard width");
    for (std::size_t row = 0; row < table.Rows(); ++row) {
        Check(table(row, column).size() == width, "a fixed-width column has one width");
    }
}

bool IsWord(std::u16string_view word) {
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [](char16_t c) { return c >= u'a' && c <= u'z'; });
}

// Returns the letters of all word occurrences: each word's length times its count.
std::int64_t CheckUniqueWords(const ListTexts& lists, const NumberSeparators& separators) {
    const Texts& unique = lists.unique;
    std::vector<std::u16string_view> words;
    words.reserve(unique.Rows());
    std::u16string_view previous;
    std::int64_t occurrences = 0;
    std::int64_t letters = 0;
    for (std::size_t row = 0; row < unique.Rows(); ++row) {
        const std::u16string_view word = unique(row, 0);
        Check(IsWord(word), "a stored word is made of a to z only");
        words.push_back(word);
        Check(previous.empty() || previous.front() <= word.front(), "words come by first letter");
        previous = word;
        const std::int64_t count = Count(unique, row, kUniqueCountColumn, separators);
        Check(count > 0, "a stored word occurs");
        occurrences += count;
        letters += count * static_cast<std::int64_t>(word.size());
        Check(IsPaddedDigitsOf(unique(row, kOriginalOrderColumn), row + 1),
              "rows are numbered in order");
    }
    std::sort(words.begin(), words.end());
    Check(std::adjacent_find(words.begin(), words.end()) == words.end(),
          "a stored word is stored once");
    CheckFixedWidth(unique, kUniqueCountColumn, kCountWidth);
    CheckFixedWidth(unique, kOriginalOrderColumn, kOrderWidth);

    const Texts& summary = lists.summary;
    Check(Count(summary, kTotalWordsRow, kValueColumn, separators) == occurrences,
          "the word counts add up to Total Word Count");
    Check(Count(summary, kUniqueWordsRow, kValueColumn, separators) ==
              static_cast<std::int64_t>(unique.Rows()),
          "Unique Word Count is the number of rows");
    return letters;
}

void CheckSubstitutions(const ListTexts& lists, const NumberSeparators& separators,
                        std::int64_t wordLetters) {
    const Texts& substitution = lists.substitution;
    Check(substitution.Rows() == 256, "one Substitutions row per byte value");
    std::int64_t letters = 0;
    std::int64_t notSmallLetters = 0;
    for (std::size_t row = 0; row < 256; ++row) {
        Check(IsDigitsOf(substitution(row, 0), row), "Substitutions rows come in byte order");
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
    Check(Count(lists.summary, kSubstitutionCountRow, kValueColumn, separators) == notSmallLetters,
          "Substitution Count is every counted byte but the small letters");
}

void CheckSummaryHead(const ListTexts& lists, std::int64_t size,
                      const NumberSeparators& separators) {
    const Texts& summary = lists.summary;
    Check(summary.Rows() == 6, "six Summary rows");
    Check(summary(IndexOf(SummaryRow::FileLoaded), kValueColumn) == kFileName,
          "File Loaded names the document");
    Check(summary(IndexOf(SummaryRow::FileSize), kValueColumn) ==
              FormatGrouped(size, separators) + u" bytes",
          "File Size is the document's size");
}

// The order SortRowsByText gives is the one permutation of the rows in which
// every text is followed by one no smaller and equal texts keep their row
// order: checked pair by pair, which costs no sort of long texts.
bool InTextOrder(const std::vector<std::uint32_t>& order, const Texts& texts, int column,
                 bool descending) {
    if (order.size() != texts.Rows()) {
        return false;
    }
    std::vector<bool> seen(order.size());
    for (std::size_t place = 0; place < order.size(); ++place) {
        const std::uint32_t row = order[place];
        if (row >= order.size() || seen[row]) {
            return false;
        }
        seen[row] = true;
        if (place > 0) {
            const std::uint32_t before = order[place - 1];
            const int comparison = texts(before, column).compare(texts(row, column));
            if ((descending ? -comparison : comparison) > 0 || (comparison == 0 && before > row)) {
                return false;
            }
        }
    }
    return true;
}

void CheckSortsByText(const ReportRows& rows, const Texts& texts) {
    std::vector<std::uint32_t> typed;
    for (int column = 0; column < rows.ColumnCount(); ++column) {
        for (const bool descending : {false, true}) {
            rows.SortRows(column, descending, typed);
            Check(InTextOrder(typed, texts, column, descending),
                  "a list sorts in the order of its texts");
        }
    }
}

void CheckInvariants(const ResultLists& lists, const ListTexts& texts, std::int64_t size,
                     const NumberSeparators& separators) {
    CheckSummaryHead(texts, size, separators);
    CheckSubstitutions(texts, separators, CheckUniqueWords(texts, separators));
    CheckSortsByText(lists.unique, texts.unique);
}

bool IsTimeCell(std::size_t row, int column) {
    return row == kTimeRow && column == kValueColumn;
}

// The same words in the same order, each with the same count and the same
// first occurrence: all that the Unique Words rows are made from.
bool SameWords(const WordTable& a, const WordTable& b) {
    if (a.UniqueTotal() != b.UniqueTotal()) {
        return false;
    }
    for (std::size_t row = 0; row < static_cast<std::size_t>(a.UniqueTotal()); ++row) {
        const StoredWord x = a.Word(row);
        const StoredWord y = b.Word(row);
        if (x.text != y.text || x.hits != y.hits ||
            a.PlaceHeading(x.place) != b.PlaceHeading(y.place) ||
            a.PlaceLineRef(x.place) != b.PlaceLineRef(y.place)) {
            return false;
        }
    }
    return true;
}

// What a run's rows are made from, kept to compare a later run with: with
// the run's total of words, all that the rows are made from.
struct RunFindings {
    explicit RunFindings(const AnalysisState& state)
        : charMap(state.CharMap), charCount(state.CharCount), words(state.UniqueWords) {}

    bool SameAs(const RunFindings& other) const {
        return charMap == other.charMap && charCount == other.charCount &&
               SameWords(*words, *other.words);
    }

    std::array<std::uint8_t, 256> charMap;
    std::array<std::int64_t, 256> charCount;
    std::shared_ptr<const WordTable> words;
};

// Whether `utf8` is `text` in UTF-8, compared as it is encoded.
bool SameInUtf8(std::u16string_view text, std::string_view utf8) {
    std::size_t at = 0;
    const auto next = [&](unsigned byte) {
        return at < utf8.size() && static_cast<unsigned char>(utf8[at++]) == byte;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        const bool same = code < 0x80    ? next(code)
                          : code < 0x800 ? next(0xC0 | code >> 6) && next(0x80 | (code & 0x3F))
                          : code < 0x10000
                              ? next(0xE0 | code >> 12) && next(0x80 | (code >> 6 & 0x3F)) &&
                                    next(0x80 | (code & 0x3F))
                              : next(0xF0 | code >> 18) && next(0x80 | (code >> 12 & 0x3F)) &&
                                    next(0x80 | (code >> 6 & 0x3F)) && next(0x80 | (code & 0x3F));
        if (!same) {
            return false;
        }
    }
    return at == utf8.size();
}

// The model's texts are UTF-8; the time it leaves empty.
bool SameAsModel(const Texts& texts, const Rows& model, bool summary) {
    if (texts.Rows() != model.size()) {
        return false;
    }
    for (std::size_t row = 0; row < texts.Rows(); ++row) {
        if (texts.Columns() != model[row].size()) {
            return false;
        }
        for (int column = 0; column < static_cast<int>(texts.Columns()); ++column) {
            const bool same = summary && IsTimeCell(row, column)
                                  ? model[row][column].empty()
                                  : SameInUtf8(texts(row, column), model[row][column]);
            if (!same) {
                return false;
            }
        }
    }
    return true;
}

bool SameAsModel(const ListTexts& texts, const ReferenceRun& model) {
    return SameAsModel(texts.summary, model.summary, true) &&
           SameAsModel(texts.substitution, model.substitution, false) &&
           SameAsModel(texts.unique, model.unique, false);
}

void RunDocument(std::string_view document) {
    const NumberSeparators plain{u",", u"."};
    const NumberSeparators narrowSpace{u"\u202F", u","};
    const auto size = static_cast<std::int64_t>(document.size());
    static CheckMemory memory;

    // Fixed hash seeds, so that a fault comes back from its input alone; the
    // second run draws another, as the window does for every run.
    AnalysisState state = LoadedState(document, kFileName);
    state.FixedHashSeed = kFirstHashSeed;
    SilentHooks hooks;
    const std::optional<ResultLists> first = AnalyseDocument(state, hooks, plain);
    Check(first.has_value(), "a run nobody stops ends with rows");
    memory.firstTexts.Take(*first, ListTexts::Extent::Invariants);
    const ListTexts& firstTexts = memory.firstTexts;
    CheckInvariants(*first, firstTexts, size, plain);
    const RunFindings firstFindings(state);

    // Again on the same state, as the window does when asked twice.
    state.FixedHashSeed = kSecondHashSeed;
    const std::optional<ScanOutcome> outcome = ScanDocument(state, hooks);
    Check(outcome.has_value(), "a scan nobody stops ends");
    Check(outcome->totalWords == Count(firstTexts.summary, kTotalWordsRow, kValueColumn, plain) &&
              RunFindings(state).SameAs(firstFindings),
          "the same bytes give the same rows");
    Check(state.SourceLength == size &&
              std::string_view(reinterpret_cast<const char*>(state.SourceBytes->data()),
                               state.SourceBytes->size()) == document,
          "a run leaves the document alone");

    const ResultLists narrow = BuildResultLists(state, *outcome, narrowSpace);
    memory.narrowTexts.Take(narrow, ListTexts::Extent::Everything);
    const ListTexts& narrowTexts = memory.narrowTexts;
    CheckInvariants(narrow, narrowTexts, size, narrowSpace);
    RunReferenceModel(document, kFileName, narrowSpace, memory.model);
    Check(SameAsModel(narrowTexts, memory.model), "the rows are those of the reference model");
    // A few words from all over the list, found again by the occurrence search.
    const auto uniqueTotal = static_cast<std::size_t>(state.UniqueWords->UniqueTotal());
    Check(!FirstOccurrenceDifference(state, document.size() % 3, uniqueTotal / 5 + 1),
          "the occurrences of a word are its Count, the first where it first occurs");
    // A row of its own for every word: given back, as the next input may
    // have fewer words, and the one after more again.
    memory.model.unique.clear();
}

}  // namespace
}  // namespace quorvex::test

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvex::test::RunDocument(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
