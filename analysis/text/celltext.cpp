#include "analysis/text/celltext.h"

#include <algorithm>
#include <cstring>

namespace quorvex {

std::u16string CellText::ToU16String() const {
    if (IsWide()) {
        return std::u16string(Utf16());
    }
    const std::string_view bytes = Latin1();
    std::u16string text(bytes.size(), u'\0');
    std::transform(bytes.begin(), bytes.end(), text.begin(),
                   [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
    return text;
}

int CompareOrdinal(const CellText& a, const CellText& b) {
    const std::size_t common = std::min(a.size(), b.size());
    if (!a.IsWide() && !b.IsWide()) {
        // memcmp compares bytes unsigned, which is code point order for Latin-1.
        const int order = common == 0 ? 0 : std::memcmp(a.narrow_, b.narrow_, common);
        if (order != 0) {
            return order;
        }
    } else {
        for (std::size_t i = 0; i < common; ++i) {
            if (a[i] != b[i]) {
                return a[i] < b[i] ? -1 : 1;
            }
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace quorvex
