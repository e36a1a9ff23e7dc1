#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// The rows of a report list, every cell a text. Rows are built the way a
// report list is filled: append a row by its first text, then add the next
// column's text, column by column. All texts share one buffer, so a list of
// half a million rows costs a few allocations, not millions.
class TextTable {
  public:
    explicit TextTable(int columnCount) : columnCount_(columnCount) {}

    void RemoveAllRows();
    // Makes room for rows of that many texts in all, so that a large list is
    // filled without moving its texts again and again.
    void Reserve(std::size_t rowCount, std::size_t charCount);
    void AppendRow(std::u16string_view firstText);
    // Adds the next column's text to the last row; texts beyond the last
    // column are ignored.
    void AddColumnText(std::u16string_view text);

    int ColumnCount() const { return columnCount_; }
    std::size_t RowCount() const { return rowFirstCell_.size(); }
    // The text of a cell; empty for a column the row has no text for.
    std::u16string_view Text(std::size_t row, int column) const;

  private:
    void AddCell(std::u16string_view text);

    int columnCount_;
    std::u16string chars_;
    std::vector<std::size_t> cellEnd_;       // end of each cell's text in chars_
    std::vector<std::size_t> rowFirstCell_;  // first cell of each row in cellEnd_
};

}  // namespace quorvex
