#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/rows/reportrows.h"
#include "analysis/text/celltext.h"

namespace quorvex {

// The rows of a report list, every cell a text. Rows are built the way a
// report list is filled: append a row by its first text, then add the next
// column's text, column by column. All texts share one buffer, so a list of
// half a million rows costs a few allocations, not millions; and while every
// text fits in Latin-1, as a document's words and counts mostly do, they take
// one byte a character.
class TextTable : public ReportRows {
  public:
    explicit TextTable(int columnCount) : columnCount_(columnCount) {}

    void RemoveAllRows();
    // Makes room for rows of that many characters in all, so that a large
    // list is filled without moving its texts again and again.
    void Reserve(std::size_t rowCount, std::size_t charCount);
    void AppendRow(std::u16string_view firstText);
    // Adds the next column's text to the last row; texts beyond the last
    // column are ignored.
    void AddColumnText(std::u16string_view text);

    int ColumnCount() const override { return columnCount_; }
    std::size_t RowCount() const override { return rowFirstCell_.size(); }
    // The text of a cell; empty for a column the row has no text for.
    CellText Text(std::size_t row, int column) const;
    std::u16string Cell(std::size_t row, int column, std::size_t limit = kWholeText) const override;
    void SortRows(int column, bool descending, std::vector<std::uint32_t>& order) const override;

  private:
    void AddCell(std::u16string_view text);
    void Widen();

    int columnCount_;
    bool wide_ = false;
    std::string latin1_;                     // the texts while all of them fit in Latin-1
    std::u16string utf16_;                   // the texts once one of them does not
    std::vector<std::size_t> cellEnd_;       // end of each cell's text
    std::vector<std::size_t> rowFirstCell_;  // first cell of each row in cellEnd_
};

}  // namespace quorvex
