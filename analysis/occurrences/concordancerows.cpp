#include "analysis/occurrences/concordancerows.h"

#include <algorithm>
#include <numeric>

#include "analysis/occurrences/contextsort.h"
#include "analysis/text/codepage.h"
#include "analysis/text/utf8measure.h"

namespace quorvex {

ConcordanceRows::ConcordanceRows(std::shared_ptr<const Occurrences> occurrences,
                                 std::size_t contextWidth)
    : occurrences_(std::move(occurrences)), contextWidth_(contextWidth) {}

std::string_view ConcordanceRows::LeftContext(std::size_t row) const {
    const std::size_t start = occurrences_->StartOf(row);
    const std::size_t from =
        std::max(occurrences_->ScanStartOf(row), start - std::min(start, contextWidth_));
    const std::span<const std::uint8_t> bytes =
        occurrences_->Document().subspan(from, start - from);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The line's ending is two bytes at most, so the width and two more bytes
// tell where the shown part ends.
std::string_view ConcordanceRows::RightContext(std::size_t row) const {
    const std::span<const std::uint8_t> document = occurrences_->Document();
    const std::size_t end = occurrences_->EndOf(row);
    const std::span<const std::uint8_t> ahead =
        document.subspan(end, std::min(contextWidth_ + 2, document.size() - end));
    std::string_view text(reinterpret_cast<const char*>(ahead.data()), ahead.size());
    if (const std::size_t lineFeed = text.find('\n'); lineFeed != std::string_view::npos) {
        text = WithoutLineEnding(ahead.first(lineFeed + 1));
    }
    return text.substr(0, contextWidth_);
}

ConcordanceRows::CellBytes ConcordanceRows::BytesOf(std::size_t row, int column) const {
    switch (static_cast<Column>(column)) {
        case Column::Heading:
            return occurrences_->HeadingText(occurrences_->HeadingOf(row));
        case Column::Reference:
            return {occurrences_->LineRef(row)};
        case Column::Left:
            return {LeftContext(row)};
        case Column::Word:
            return {occurrences_->WrittenWord(row)};
        case Column::Right:
            return {RightContext(row)};
    }
    return {};
}

std::u16string ConcordanceRows::Cell(std::size_t row, int column, std::size_t limit) const {
    std::u16string text;
    for (const std::string_view piece : BytesOf(row, column)) {
        limit -= AppendWindows1252(text, piece, limit);
    }
    return text;
}

// Measured from the document's bytes, without making a text.
std::uint64_t ConcordanceRows::TrimmedUtf8Size(const std::vector<bool>& selected, std::size_t part,
                                               std::size_t parts, int columns) const {
    const auto [first, end] = PartOfRows(0, RowCount(), part, parts);
    std::uint64_t bytes = 0;
    for (std::size_t row = first; row < end; ++row) {
        for (int column = 0; selected[row] && column < columns; ++column) {
            Utf8Measure measure;
            for (const std::string_view piece : BytesOf(row, column)) {
                measure = measure + Utf8Measure::OfWindows1252(piece);
            }
            bytes += measure.TrimmedBytes();
        }
    }
    return bytes;
}

void ConcordanceRows::SortRows(int column, bool descending,
                               std::vector<std::uint32_t>& order) const {
    switch (static_cast<Column>(column)) {
        case Column::Heading:
        case Column::Reference:
            order.resize(occurrences_->size());
            std::iota(order.begin(), order.end(), 0u);
            if (descending) {
                std::reverse(order.begin(), order.end());
            }
            return;
        case Column::Left:
            SortByContext(*occurrences_, ContextSide::Left, descending, order);
            return;
        case Column::Word:
            SortByWrittenWord(*occurrences_, descending, order);
            return;
        case Column::Right:
            SortByContext(*occurrences_, ContextSide::Right, descending, order);
            return;
    }
}

}  // namespace quorvex
