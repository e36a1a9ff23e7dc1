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

ReferenceRun RunReferenceModel(std::string_view document, std::u16string_view fileName,
                               const NumberSeparators& separators);
// The same into `run`, whose rows are filled again in the memory they hold:
// for a caller that runs the model on input after input.
void RunReferenceModel(std::string_view document, std::u16string_view fileName,
                       const NumberSeparators& separators, ReferenceRun& run);

}  // namespace quorvex::test
