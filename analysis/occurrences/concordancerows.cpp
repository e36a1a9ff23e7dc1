#include "analysis/occurrences/concordancerows.h"

#include <algorithm>
#include <numeric>

#include "analysis/occurrences/contextsort.h"
#include "analysis/text/codepage.h"

namespace quorvex {

ConcordanceRows::ConcordanceRows(std::shared_ptr<const Occurrences> occurrences,
                                 std::size_t contextWidth)
    : occurrences_(std::move(occurrences)), contextWidth_(contextWidth) {}

std::string_view ConcordanceRows::LeftContext(std::size_t row) const {
    const std::size_t start = occurrences_->StartOf(row);
    const std::size_t from = std::max(occurrences_->ScanStartOf(row),
                                      start - std::min(start, contextWidth_));
    const std::span<const std::uint8_t> bytes = occurrences_->Document().subspan(from, start - from);
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

std::u16string ConcordanceRows::Cell(std::size_t row, int column, std::size_t limit) const {
    std::u16string text;
    switch (static_cast<Column>(column)) {
        case Column::Heading:
            for (const std::string_view piece :
                 occurrences_->HeadingText(occurrences_->HeadingOf(row))) {
                limit -= AppendWindows1252(text, piece, limit);
            }
            break;
        case Column::Reference:
            AppendWindows1252(text, occurrences_->LineRef(row), limit);
            break;
        case Column::Left:
            AppendWindows1252(text, LeftContext(row), limit);
            break;
        case Column::Word:
            AppendWindows1252(text, occurrences_->WrittenWord(row), limit);
            break;
        case Column::Right:
            AppendWindows1252(text, RightContext(row), limit);
            break;
    }
    return text;
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
