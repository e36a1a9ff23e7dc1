#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/occurrences/occurrences.h"
#include "analysis/rows/reportrows.h"
#include "analysis/text/numberformat.h"

namespace quorvex {

// The count per heading: one row per heading line, in document order, with
// the words counted under it and, per searched word, its count there and its
// count per 10,000 words. A first row of the words before the first heading
// when there are such words. Number columns are padded to one width each, so
// that their text order is their numeric order.
class HeadingCountRows : public ReportRows {
  public:
    // The first columns; after them two per searched word.
    enum class Column { Heading, Words };
    static constexpr int kFixedColumns = IndexOf(Column::Words) + 1;
    static constexpr int CountColumn(std::size_t word) {
        return kFixedColumns + 2 * static_cast<int>(word);
    }
    static constexpr int PerTenThousandColumn(std::size_t word) { return CountColumn(word) + 1; }
    // The rate a PerTenThousandColumn shows.
    static constexpr std::int64_t kRateBase = 10000;

    HeadingCountRows(std::shared_ptr<const Occurrences> occurrences, NumberSeparators separators);

    // The heading (as Occurrences numbers them) a row shows.
    std::size_t HeadingAt(std::size_t row) const { return row + firstHeading_; }

    int ColumnCount() const override;
    std::size_t RowCount() const override;
    std::u16string Cell(std::size_t row, int column, std::size_t limit = kWholeText) const override;

  private:
    std::u16string Number(std::size_t heading, int column) const;

    std::shared_ptr<const Occurrences> occurrences_;
    NumberSeparators separators_;
    std::size_t firstHeading_;
    std::vector<std::size_t> widths_;  // per column
};

}  // namespace quorvex
