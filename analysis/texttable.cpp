#include "analysis/texttable.h"

namespace quorvex {

void TextTable::RemoveAllRows() {
    chars_.clear();
    cellEnd_.clear();
    rowFirstCell_.clear();
}

void TextTable::Reserve(std::size_t rowCount, std::size_t charCount) {
    chars_.reserve(charCount);
    cellEnd_.reserve(rowCount * static_cast<std::size_t>(columnCount_));
    rowFirstCell_.reserve(rowCount);
}

void TextTable::AddCell(std::u16string_view text) {
    chars_.append(text);
    cellEnd_.push_back(chars_.size());
}

void TextTable::AppendRow(std::u16string_view firstText) {
    rowFirstCell_.push_back(cellEnd_.size());
    AddCell(firstText);
}

void TextTable::AddColumnText(std::u16string_view text) {
    if (rowFirstCell_.empty() ||
        cellEnd_.size() - rowFirstCell_.back() >= static_cast<std::size_t>(columnCount_)) {
        return;
    }
    AddCell(text);
}

std::u16string_view TextTable::Text(std::size_t row, int column) const {
    const std::size_t first = rowFirstCell_[row];
    const std::size_t last =
        row + 1 < rowFirstCell_.size() ? rowFirstCell_[row + 1] : cellEnd_.size();
    const std::size_t cell = first + static_cast<std::size_t>(column);
    if (column < 0 || cell >= last) {
        return {};
    }
    const std::size_t begin = cell == 0 ? 0 : cellEnd_[cell - 1];
    return std::u16string_view(chars_).substr(begin, cellEnd_[cell] - begin);
}

}  // namespace quorvex
