#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/text/numberformat.h"
#include "tests/analysis/analysistesting.h"

namespace quorvex::test {

// What a run should produce, worked out the slow and obvious way: every line
// cut byte by byte, every word looked up by walking its bucket from slot 1,
// every number formatted digit group by digit group. It shares no code with
// the engine, so the two can only agree by both following the rules.
struct ReferenceRun {
    Rows summary;  // the "Time To Complete" value is left empty
    Rows substitution;
    Rows unique;
    std::int64_t lineCount = 0;
    // (maximum, value) of every progress draw after the empty bar.
    std::vector<std::pair<std::int64_t, std::int64_t>> draws;
};

// The number formats, written out plainly in UTF-8: the one reference every
// test of a number's text checks against. "###,###,###,##0": all the digits,
// grouped in threes from the right; "###.0#######": no leading zero, one to
// eight decimals, rounded half to even from the exact value of a finite
// `seconds`.
std::string ReferenceGrouped(std::int64_t value, std::string_view thousands);
std::string ReferenceSeconds(double seconds, std::string_view decimal);

ReferenceRun RunReferenceModel(std::string_view document, std::u16string_view fileName,
                               const NumberSeparators& separators);
// The same into `run`, whose rows are filled again in the memory they hold:
// for a caller that runs the model on input after input.
void RunReferenceModel(std::string_view document, std::u16string_view fileName,
                       const NumberSeparators& separators, ReferenceRun& run);

}  // namespace quorvex::test
