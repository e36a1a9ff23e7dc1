#include "analysis/occurrences/headingcountrows.h"

#include <algorithm>

#include "analysis/rows/rowtexts.h"
#include "analysis/text/codepage.h"

namespace quorvex {

namespace {

// count * base / words to one decimal, rounded half up, in tenths. A count
// stays below 2^31, so nothing here overflows.
std::int64_t RateInTenths(std::int64_t count, std::int64_t words) {
    if (words == 0) {
        return 0;
    }
    const std::int64_t tenths = count * HeadingCountRows::kRateBase * 10;
    return (2 * tenths + words) / (2 * words);
}

std::u16string FormatTenths(std::int64_t tenths, const NumberSeparators& separators) {
    return FormatGrouped(tenths / 10, separators) + separators.decimal +
           static_cast<char16_t>(u'0' + tenths % 10);
}

}  // namespace

HeadingCountRows::HeadingCountRows(std::shared_ptr<const Occurrences> occurrences,
                                   NumberSeparators separators)
    : occurrences_(std::move(occurrences)),
      separators_(std::move(separators)),
      firstHeading_(occurrences_->WordsUnder(0) > 0 ? 0 : 1),
      widths_(static_cast<std::size_t>(ColumnCount()), 0) {
    for (int column = IndexOf(Column::Words); column < ColumnCount(); ++column) {
        std::size_t longest = 0;
        for (std::size_t row = 0; row < RowCount(); ++row) {
            longest = std::max(longest, CharacterCount(Number(HeadingAt(row), column)));
        }
        widths_[static_cast<std::size_t>(column)] = std::max(longest, kCountWidth);
    }
}

int HeadingCountRows::ColumnCount() const {
    return CountColumn(occurrences_->Words().size());
}

std::size_t HeadingCountRows::RowCount() const {
    return occurrences_->HeadingCount() - firstHeading_;
}

std::u16string HeadingCountRows::Number(std::size_t heading, int column) const {
    const std::int64_t words = occurrences_->WordsUnder(heading);
    if (column == IndexOf(Column::Words)) {
        return FormatGrouped(words, separators_);
    }
    const auto word = static_cast<std::size_t>((column - kFixedColumns) / 2);
    const std::int64_t count = occurrences_->CountUnder(heading, word);
    return column == CountColumn(word) ? FormatGrouped(count, separators_)
                                       : FormatTenths(RateInTenths(count, words), separators_);
}

std::u16string HeadingCountRows::Cell(std::size_t row, int column, std::size_t limit) const {
    const std::size_t heading = HeadingAt(row);
    if (column != IndexOf(Column::Heading)) {
        return CutToLimit(
            FixedWidth(Number(heading, column), widths_[static_cast<std::size_t>(column)]), limit);
    }
    if (heading == 0) {
        return CutToLimit(std::u16string(rowtext::kNoHeading), limit);
    }
    std::u16string text;
    for (const std::string_view piece : occurrences_->HeadingText(heading)) {
        limit -= AppendWindows1252(text, piece, limit);
    }
    return text;
}

}  // namespace quorvex
