#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/numberformat.h"
#include "analysis/reportrows.h"
#include "analysis/wordstore.h"

namespace quorvex {

// The Substitutions list: one row per byte value, made from the run's byte
// counts and character map.
class SubstitutionRows : public ReportRows {
  public:
    SubstitutionRows(const std::array<std::uint8_t, 256>& charMap,
                     const std::array<std::int64_t, 256>& charCount, NumberSeparators separators);

    int ColumnCount() const override { return 4; }
    std::size_t RowCount() const override { return 256; }
    std::u16string Cell(std::size_t row, int column, std::size_t limit = kWholeText) const override;

  private:
    std::array<std::uint8_t, 256> charMap_;
    std::array<std::int64_t, 256> charCount_;
    NumberSeparators separators_;
    std::size_t countWidth_;
};

// The Unique Words list: one row per distinct word, in bucket order, made
// from the run's word store, which the rows keep alive. A row holds no text
// of its own; sorting compares what the texts are made of (the words, the
// counts, the places, the row numbers) and gives exactly the order of the
// texts.
class UniqueWordRows : public ReportRows {
  public:
    UniqueWordRows(std::shared_ptr<const WordStore> words, NumberSeparators separators);

    int ColumnCount() const override { return 4; }
    std::size_t RowCount() const override;
    std::u16string Cell(std::size_t row, int column, std::size_t limit = kWholeText) const override;
    void SortRows(int column, bool descending, std::vector<std::uint32_t>& order) const override;

  private:
    std::vector<std::uint64_t> WordKeys(int rowBits, bool descending) const;
    std::vector<std::uint64_t> PlaceKeys(int rowBits, bool descending) const;
    std::vector<std::uint32_t> PlaceRanks() const;
    int ComparePlaces(std::uint32_t a, std::uint32_t b) const;

    std::shared_ptr<const WordStore> words_;
    NumberSeparators separators_;
    std::size_t countWidth_;
    std::size_t orderWidth_;
};

// A fixed-width column grows, for all its rows alike, when its longest text
// would not fit: numbers are never cut, and text order stays numeric order.
std::size_t ColumnWidth(std::size_t standardWidth, std::u16string_view longestText);

}  // namespace quorvex
