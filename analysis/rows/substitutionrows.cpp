#include "analysis/rows/substitutionrows.h"

#include <algorithm>

#include "analysis/rows/rowtexts.h"
#include "analysis/scan/wordrule.h"

namespace quorvex {

namespace {

std::u16string CharText(std::size_t code) {
    return (code < 32 || code > 126) ? std::u16string(rowtext::kUnprintableChar)
                                     : std::u16string(1, static_cast<char16_t>(code));
}

std::u16string ReplacedWithText(std::uint8_t mapped) {
    if (mapped == kSeparator) {
        return std::u16string(rowtext::kSpaceChar);
    }
    if (mapped == kDeleted) {
        return std::u16string(rowtext::kDeletedChar);
    }
    return std::u16string(1, static_cast<char16_t>(mapped));
}

}  // namespace

SubstitutionRows::SubstitutionRows(const std::array<std::uint8_t, 256>& charMap,
                                   const std::array<std::int64_t, 256>& charCount,
                                   NumberSeparators separators)
    : charMap_(charMap), charCount_(charCount), separators_(std::move(separators)) {
    const std::int64_t largest = *std::max_element(charCount_.begin(), charCount_.end());
    countWidth_ = ColumnWidth(kCountWidth, FormatGrouped(largest, separators_));
}

std::u16string SubstitutionRows::Cell(std::size_t row, int column, std::size_t limit) const {
    switch (static_cast<Column>(column)) {
        case Column::Ascii:
            return CutToLimit(FormatDigits(static_cast<std::int64_t>(row)), limit);
        case Column::Char:
            return CutToLimit(CharText(row), limit);
        case Column::Count:
            return CutToLimit(FixedWidth(FormatGrouped(charCount_[row], separators_), countWidth_),
                              limit);
        case Column::ReplacedWith:
            return CutToLimit(ReplacedWithText(charMap_[row]), limit);
    }
    return {};
}

}  // namespace quorvex
