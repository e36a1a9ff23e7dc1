#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysedocument.h"
#include "analysis/rows/texttable.h"
#include "analysis/scan/analysisstate.h"
#include "analysis/text/numberformat.h"

namespace quorvex::test {

// Every text of a list, row by row, as UTF-8 so that failures print readably.
using Rows = std::vector<std::vector<std::string>>;

std::string Utf8(std::u16string_view text);
Rows RowsOf(const ReportRows& table);

// A state as the Open command leaves it after loading `document`.
AnalysisState LoadedState(std::string_view document, std::u16string fileName = u"book.txt");

// A whole run that nobody stops.
ResultLists RunToEnd(AnalysisState& state, const NumberSeparators& separators = {});

// A sort of a list's rows by one column, as ReportRows::SortRows.
using RowSort = std::function<void(int column, bool descending, std::vector<std::uint32_t>& order)>;

// Where sorting `rows` by what their texts are made of (by `sort`, or by
// their SortRows) first differs from sorting the texts themselves, as
// "column N ascending, place P"; nothing when every column in both
// directions gives the same order.
std::optional<std::string> FirstSortDifference(const ReportRows& rows, const RowSort& sort = {});

// Where the size the rows tell for a selection of their cells differs from
// the UTF-8 size of those cells' texts without the blanks at their ends, on
// the whole list and on random selections and parts drawn from `seed`;
// nothing when every size agrees.
std::optional<std::string> FirstSizeDifference(const ReportRows& rows, unsigned seed);

// The characters of `text` with control and high bytes written as \xNN.
std::string Escaped(std::string_view text);

}  // namespace quorvex::test
