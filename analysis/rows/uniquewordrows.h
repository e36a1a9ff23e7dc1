#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/rows/reportrows.h"
#include "analysis/rows/rowkeys.h"
#include "analysis/text/numberformat.h"
#include "analysis/text/utf8measure.h"
#include "analysis/words/wordtable.h"

namespace quorvex {

// The Unique Words list: one row per distinct word, in bucket order, made
// from the run's word table, which the rows keep alive. A row holds no text
// of its own; sorting compares what the texts are made of (the words, the
// counts, the places, the row numbers) and gives exactly the order of the
// texts.
class UniqueWordRows : public ReportRows {
  public:
    enum class Column { Word, Count, FirstOccurs, OriginalOrder };
    static constexpr int kColumnCount = IndexOf(Column::OriginalOrder) + 1;

    UniqueWordRows(std::shared_ptr<const WordTable> words, NumberSeparators separators);

    // A row's word as stored, letters a to z, without making a text of it.
    std::string_view WordOf(std::size_t row) const { return words_->Word(row).text; }

    int ColumnCount() const override { return kColumnCount; }
    std::size_t RowCount() const override;
    std::u16string Cell(std::size_t row, int column, std::size_t limit = kWholeText) const override;
    std::uint64_t Utf8SizeBetweenEnds(const std::vector<bool>& selected, std::size_t part,
                                      std::size_t parts, int columns,
                                      const AsciiSet& ends) const override;
    void SortRows(int column, bool descending, std::vector<std::uint32_t>& order) const override;
    // The same order, the keys laid out as for a list of 2 to the `rowBits`
    // rows, or as few as this list needs: a key holds fewer letters of a
    // word the more rows there are.
    void SortRows(int column, bool descending, int rowBits,
                  std::vector<std::uint32_t>& order) const;

  private:
    std::uint64_t StretchUtf8Size(const std::vector<bool>& selected, std::size_t first,
                                  std::size_t end, int columns, const AsciiSet& ends) const;
    std::uint64_t CellUtf8Size(const StoredWord& word, std::size_t row, int column,
                               const Utf8Measure& heading, const AsciiSet& ends,
                               bool paddingIsEnd) const;
    RowKeys WordKeys(int rowBits, bool descending) const;
    std::string_view LettersSharedByMost(std::size_t least) const;
    void SortApart(RowKeys& keys, std::size_t first, std::size_t end, std::uint64_t lowest) const;
    // A stretch of sorted keys whose words share every letter before
    // `shared`, and where the next stretch of equal keys within it begins.
    struct KeyStretch {
        std::size_t next;
        std::size_t end;
        std::size_t shared;
    };
    void SortEqualKeysOn(RowKeys& keys, std::size_t letters, std::size_t from) const;
    void SortEqualKeysWithin(RowKeys& keys, std::size_t letters, KeyStretch within,
                             std::size_t setAsideFrom, std::vector<KeyStretch>& setAside) const;
    std::vector<KeyStretch> KeyInTableOrder(RowKeys& keys, std::size_t letters,
                                            const std::vector<KeyStretch>& stretches) const;
    std::size_t SharedLetters(const RowKeys& keys, std::span<const std::uint64_t> stretch,
                              std::size_t from) const;
    template <typename Visit>
    void VisitWords(const RowKeys& keys, std::span<const std::uint64_t> stretch, std::size_t from,
                    const Visit& visit) const;
    RowKeys PlaceKeys(int rowBits, bool descending) const;
    std::vector<std::uint32_t> PlaceRanks() const;
    int ComparePlaces(std::uint32_t a, std::uint32_t b) const;

    std::shared_ptr<const WordTable> words_;
    NumberSeparators separators_;
    std::size_t countWidth_;
    std::size_t orderWidth_;
    std::size_t thousandsBytes_;
    std::size_t thousandsCharacters_;
};

}  // namespace quorvex
