#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/occurrences/occurrences.h"
#include "analysis/rows/reportrows.h"

namespace quorvex {

// The concordance: one row per occurrence, row r showing occurrence r, in
// document order. The context cells show at most the context width of the
// line on either side of the word; sorting by a side compares that side's
// words, nearest first, over the whole scanned part of the line.
class ConcordanceRows : public ReportRows {
  public:
    enum class Column { Heading, Reference, Left, Word, Right };
    static constexpr int kColumnCount = IndexOf(Column::Right) + 1;

    static constexpr std::size_t kNarrowestContext = 20;
    static constexpr std::size_t kWidestContext = 200;
    static constexpr std::size_t kDefaultContext = 60;

    explicit ConcordanceRows(std::shared_ptr<const Occurrences> occurrences,
                             std::size_t contextWidth = kDefaultContext);

    const Occurrences& Found() const { return *occurrences_; }

    // Every Left and Right cell changes; rows keep their numbers.
    void SetContextWidth(std::size_t width) { contextWidth_ = width; }
    std::size_t ContextWidth() const { return contextWidth_; }

    int ColumnCount() const override { return kColumnCount; }
    std::size_t RowCount() const override { return occurrences_->size(); }
    std::u16string Cell(std::size_t row, int column, std::size_t limit = kWholeText) const override;
    std::uint64_t TrimmedUtf8Size(const std::vector<bool>& selected, std::size_t part,
                                  std::size_t parts, int columns) const override;
    // Left and Right: the side's words, folded by the word rule, nearest
    // first, a side with no more words first; Word: by searched word in the
    // order of their texts, then by the text as written; Heading and
    // Reference: document order. Descending reverses; ties keep document order.
    void SortRows(int column, bool descending, std::vector<std::uint32_t>& order) const override;

  private:
    // A cell's text is these document bytes, one after the other.
    using CellBytes = std::array<std::string_view, 4>;
    CellBytes BytesOf(std::size_t row, int column) const;
    std::string_view LeftContext(std::size_t row) const;
    std::string_view RightContext(std::size_t row) const;

    std::shared_ptr<const Occurrences> occurrences_;
    std::size_t contextWidth_;
};

}  // namespace quorvex
