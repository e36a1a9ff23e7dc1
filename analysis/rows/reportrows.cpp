#include "analysis/rows/reportrows.h"

#include <algorithm>
#include <numeric>

namespace quorvex {

namespace {

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::uint64_t ReportRows::Utf8SizeBetweenEnds(const std::vector<bool>& selected, std::size_t part,
                                              std::size_t parts, int columns,
                                              const AsciiSet& ends) const {
    const auto [first, end] = PartOfRows(0, RowCount(), part, parts);
    std::uint64_t bytes = 0;
    for (std::size_t row = first; row < end; ++row) {
        for (int column = 0; selected[row] && column < columns; ++column) {
            bytes += Utf8Measure::OfUtf16(Cell(row, column), ends).BytesBetweenEnds();
        }
    }
    return bytes;
}

void ReportRows::SortRows(int column, bool descending, std::vector<std::uint32_t>& order) const {
    SortRowsByText(*this, column, descending, order);
}

void SortRowsByText(const ReportRows& rows, int column, bool descending,
                    std::vector<std::uint32_t>& order) {
    std::vector<std::u16string> texts(rows.RowCount());
    for (std::size_t row = 0; row < texts.size(); ++row) {
        texts[row] = rows.Cell(row, column);
    }
    order.resize(texts.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return descending ? texts[b] < texts[a] : texts[a] < texts[b];
    });
}

std::pair<std::size_t, std::size_t> PartOfRows(std::size_t first, std::size_t end, std::size_t part,
                                               std::size_t parts) {
    const std::size_t rows = end - first;
    return {first + rows * part / parts, first + rows * (part + 1) / parts};
}

std::u16string_view FirstCharacters(std::u16string_view text, std::size_t limit) {
    if (limit >= text.size()) {
        return text;
    }
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!IsLowSurrogate(text[at]) && characters++ == limit) {
            return text.substr(0, at);
        }
    }
    return text;
}

std::u16string CutToLimit(std::u16string text, std::size_t limit) {
    if (limit < text.size()) {
        text.resize(FirstCharacters(text, limit).size());
    }
    return text;
}

}  // namespace quorvex
