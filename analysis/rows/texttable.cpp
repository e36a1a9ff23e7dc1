#include "analysis/rows/texttable.h"

#include <algorithm>

namespace quorvex {

namespace {

bool FitsLatin1(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
}

}  // namespace

void TextTable::RemoveAllRows() {
    wide_ = false;
    latin1_.clear();
    utf16_.clear();
    cellEnd_.clear();
    rowFirstCell_.clear();
}

void TextTable::Reserve(std::size_t rowCount, std::size_t charCount) {
    if (wide_) {
        utf16_.reserve(charCount);
    } else {
        latin1_.reserve(charCount);
    }
    cellEnd_.reserve(rowCount * static_cast<std::size_t>(columnCount_));
    rowFirstCell_.reserve(rowCount);
}

// From the first text beyond Latin-1 on, all texts take two bytes a character.
void TextTable::Widen() {
    utf16_.reserve(latin1_.capacity());
    utf16_.assign(latin1_.size(), u'\0');
    std::transform(latin1_.begin(), latin1_.end(), utf16_.begin(),
                   [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
    std::string().swap(latin1_);
    wide_ = true;
}

void TextTable::AddCell(std::u16string_view text) {
    if (!wide_ && !FitsLatin1(text)) {
        Widen();
    }
    if (wide_) {
        utf16_.append(text);
        cellEnd_.push_back(utf16_.size());
    } else {
        const std::size_t start = latin1_.size();
        latin1_.resize(start + text.size());
        std::transform(text.begin(), text.end(),
                       latin1_.begin() + static_cast<std::ptrdiff_t>(start),
                       [](char16_t c) { return static_cast<char>(c); });
        cellEnd_.push_back(latin1_.size());
    }
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

CellText TextTable::Text(std::size_t row, int column) const {
    const std::size_t first = rowFirstCell_[row];
    const std::size_t last =
        row + 1 < rowFirstCell_.size() ? rowFirstCell_[row + 1] : cellEnd_.size();
    const std::size_t cell = first + static_cast<std::size_t>(column);
    if (column < 0 || cell >= last) {
        return {};
    }
    const std::size_t begin = cell == 0 ? 0 : cellEnd_[cell - 1];
    const std::size_t length = cellEnd_[cell] - begin;
    return wide_ ? CellText(std::u16string_view(utf16_).substr(begin, length))
                 : CellText(std::string_view(latin1_).substr(begin, length));
}

std::u16string TextTable::Cell(std::size_t row, int column, std::size_t limit) const {
    const CellText text = Text(row, column);
    if (text.IsWide()) {
        return std::u16string(FirstCharacters(text.Utf16(), limit));
    }
    const std::string_view latin1 = text.Latin1().substr(0, limit);
    std::u16string cell(latin1.size(), u'\0');
    std::transform(latin1.begin(), latin1.end(), cell.begin(),
                   [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
    return cell;
}

void TextTable::SortRows(int column, bool descending, std::vector<std::uint32_t>& order) const {
    // The keys are taken out once, so that the sort compares contiguous
    // entries instead of walking the offsets on every comparison.
    struct SortEntry {
        CellText key;
        std::uint32_t row;
    };
    std::vector<SortEntry> entries(RowCount());
    for (std::size_t row = 0; row < entries.size(); ++row) {
        entries[row] = {Text(row, column), static_cast<std::uint32_t>(row)};
    }
    std::sort(entries.begin(), entries.end(), [descending](const SortEntry& a, const SortEntry& b) {
        const int comparison = CompareOrdinal(a.key, b.key);
        if (comparison != 0) {
            return descending ? comparison > 0 : comparison < 0;
        }
        return a.row < b.row;
    });
    order.resize(entries.size());
    std::transform(entries.begin(), entries.end(), order.begin(),
                   [](const SortEntry& entry) { return entry.row; });
}

}  // namespace quorvex
