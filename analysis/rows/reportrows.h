#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "analysis/text/utf8measure.h"

namespace quorvex {

inline constexpr std::size_t kWholeText = std::numeric_limits<std::size_t>::max();

// The number of a list's column or row, named by one of the lists' enums.
template <typename Name>
requires std::is_enum_v<Name>
constexpr int IndexOf(Name name) {
    return static_cast<int>(name);
}

// The rows of a report list. A cell's text is made when someone asks for it,
// so rows may hold numbers and references instead of texts.
class ReportRows {
  public:
    virtual ~ReportRows() = default;

    virtual int ColumnCount() const = 0;
    virtual std::size_t RowCount() const = 0;

    // The text of a cell, or its first `limit` characters (a surrogate pair
    // is one character); empty for a column the row has no text for.
    virtual std::u16string Cell(std::size_t row, int column,
                                std::size_t limit = kWholeText) const = 0;

    // The UTF-8 size of the whole texts of the first `columns` cells of the
    // rows that `selected` marks (one flag a row), each without the
    // characters of `ends` at its two ends, in the `part`th of `parts` parts.
    // The parts divide the rows so that each row is in one of them, and a
    // long sum can pause between them. By default every text is made and
    // measured; rows that know what their texts are made of add up the
    // measures of the pieces instead.
    virtual std::uint64_t Utf8SizeBetweenEnds(const std::vector<bool>& selected, std::size_t part,
                                              std::size_t parts, int columns,
                                              const AsciiSet& ends) const;

    // Puts every row into `order` in the ordinal order of one column's whole
    // texts: code point by code point, a text before the texts it begins.
    // Rows with equal texts keep their row order, in either direction. By
    // default the texts themselves are compared; rows that know what their
    // texts are made of compare that instead, to the same order.
    virtual void SortRows(int column, bool descending, std::vector<std::uint32_t>& order) const;
};

// The order SortRows promises, found by making and comparing every text.
void SortRowsByText(const ReportRows& rows, int column, bool descending,
                    std::vector<std::uint32_t>& order);

// The `part`th of `parts` nearly equal stretches of the rows from `first`
// to before `end`, as its first row and the row after its last.
std::pair<std::size_t, std::size_t> PartOfRows(std::size_t first, std::size_t end, std::size_t part,
                                               std::size_t parts);

// The text of `text` up to its `limit`th character.
std::u16string_view FirstCharacters(std::u16string_view text, std::size_t limit);

// `text` cut to its first `limit` characters, for a Cell made whole first.
std::u16string CutToLimit(std::u16string text, std::size_t limit);

}  // namespace quorvex
