#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analysis/rows/reportrows.h"
#include "analysis/text/numberformat.h"

namespace quorvex {

// The Substitutions list: one row per byte value, made from the run's byte
// counts and character map.
class SubstitutionRows : public ReportRows {
  public:
    static constexpr std::size_t kRowCount = 256;
    enum class Column { Ascii, Char, Count, ReplacedWith };
    static constexpr int kColumnCount = IndexOf(Column::ReplacedWith) + 1;

    SubstitutionRows(const std::array<std::uint8_t, 256>& charMap,
                     const std::array<std::int64_t, 256>& charCount, NumberSeparators separators);

    int ColumnCount() const override { return kColumnCount; }
    std::size_t RowCount() const override { return kRowCount; }
    std::u16string Cell(std::size_t row, int column, std::size_t limit = kWholeText) const override;

  private:
    std::array<std::uint8_t, 256> charMap_;
    std::array<std::int64_t, 256> charCount_;
    NumberSeparators separators_;
    std::size_t countWidth_;
};

}  // namespace quorvex
