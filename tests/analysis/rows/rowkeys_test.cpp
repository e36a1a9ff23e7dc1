#include "analysis/rows/rowkeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

namespace quorvex {
namespace {

// Long lists are split by their highest differing digit where they lie, and
// the stretches short enough for the caches are sorted digit by digit with
// the digits that are the same in every key passed over; each shape of
// values below takes those ways differently. The rows must come out in the
// order of their values, equal values in row order, in either direction.
TEST(RowKeysTest, OrdersRowsByValueThenRowForEveryShapeOfValues) {
    constexpr std::size_t kRows = 300000;  // several stretches of what the caches hold
    constexpr int kRowBits = 25;
    constexpr int kValueBits = 39;
    std::mt19937_64 random(20261207);
    const std::vector<std::function<std::uint64_t()>> shapes = {
        [&] { return random() & ((1ull << kValueBits) - 1); },
        [&] { return 1 + random() % 1000 / 999; },
        [&] { return random() % 1024; },
        [&] { return random() % 100000 == 0 ? (1ull << kValueBits) - 1 : random() % 3; },
        [] { return 7; },
    };
    for (std::size_t shape = 0; shape < shapes.size(); ++shape) {
        std::vector<std::uint64_t> values(kRows);
        std::generate(values.begin(), values.end(), shapes[shape]);
        for (const bool descending : {false, true}) {
            RowKeys keys(kRows, kRowBits, kValueBits, descending);
            for (std::size_t row = 0; row < kRows; ++row) {
                keys.Set(row, values[row]);
            }
            keys.Sort();
            std::vector<std::uint32_t> order;
            keys.TakeRows(order);

            std::vector<std::uint32_t> expected(kRows);
            std::iota(expected.begin(), expected.end(), 0u);
            std::stable_sort(expected.begin(), expected.end(),
                             [&](std::uint32_t a, std::uint32_t b) {
                                 return descending ? values[a] > values[b] : values[a] < values[b];
                             });
            EXPECT_EQ(order, expected) << "shape " << shape << (descending ? " descending" : "");
        }
    }
}

}  // namespace
}  // namespace quorvex
