#include "tests/analysis/referencemodel.h"

#include <gtest/gtest.h>

#include "analysis/resultlists.h"
#include "tests/analysis/analysistesting.h"
#include "tests/analysis/documentgenerator.h"
#include "tests/analysis/recordinghooks.h"

namespace quorvex::test {
namespace {

constexpr int kDocumentsPerKind = 2500;

const std::vector<NumberSeparators>& SeparatorSets() {
    static const std::vector<NumberSeparators> sets = {
        {u",", u"."}, {u"\u00A0", u","}, {u"\u202F", u","}, {u".", u","}};
    return sets;
}

// Reports the first row where the engine and the model part ways.
::testing::AssertionResult SameRows(const char* list, const Rows& engine, const Rows& model) {
    if (engine.size() != model.size()) {
        return ::testing::AssertionFailure()
               << list << ": " << engine.size() << " rows, expected " << model.size();
    }
    for (std::size_t row = 0; row < engine.size(); ++row) {
        if (engine[row] != model[row]) {
            ::testing::AssertionResult failure = ::testing::AssertionFailure();
            failure << list << " row " << row << ":";
            for (std::size_t column = 0; column < model[row].size(); ++column) {
                failure << "\n  column " << column << ": got \"" << Escaped(engine[row][column])
                        << "\", expected \"" << Escaped(model[row][column]) << "\"";
            }
            return failure;
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameRun(const std::string& document,
                                   const NumberSeparators& separators) {
    const std::u16string fileName = u"Lieder \u00FC \u2603.txt";
    AnalysisState state = LoadedState(document, fileName);
    RecordingHooks hooks;
    const std::optional<ResultLists> lists = AnalyseDocument(state, hooks, separators);
    const ReferenceRun model = RunReferenceModel(document, fileName, separators);
    if (!lists) {
        return ::testing::AssertionFailure() << "the run stopped by itself";
    }

    Rows summary = RowsOf(lists->summary);
    if (summary.size() == 6) {
        summary[5][1].clear();  // the elapsed time is nothing a model can predict
    }
    for (auto result : {SameRows("summary", summary, model.summary),
                        SameRows("substitution", RowsOf(lists->substitution), model.substitution),
                        SameRows("unique", RowsOf(lists->unique), model.unique)}) {
        if (!result) {
            return result;
        }
    }
    std::vector<std::pair<std::int64_t, std::int64_t>> draws;
    for (const auto& draw : hooks.Draws()) {
        draws.emplace_back(draw.point.maxValue, draw.point.value);
    }
    if (draws != model.draws || hooks.LinesDone() != model.lineCount) {
        return ::testing::AssertionFailure()
               << "progress: " << draws.size() << " draws after " << hooks.LinesDone()
               << " lines, expected " << model.draws.size() << " after " << model.lineCount;
    }
    return ::testing::AssertionSuccess();
}

void ExpectEngineMatchesModel(std::string (DocumentGenerator::*generate)(), std::uint32_t seed) {
    DocumentGenerator generator(seed);
    for (int i = 0; i < kDocumentsPerKind; ++i) {
        const std::string document = (generator.*generate)();
        const NumberSeparators& separators = SeparatorSets()[i % SeparatorSets().size()];
        const ::testing::AssertionResult result = SameRun(document, separators);
        if (!result) {
            ADD_FAILURE() << "document " << i << " (" << document.size() << " bytes): \""
                          << Escaped(document) << "\"\n"
                          << result.message();
            return;
        }
    }
}

TEST(EngineAgainstModel, ByteSoup) {
    ExpectEngineMatchesModel(&DocumentGenerator::ByteSoup, 20240611);
}

TEST(EngineAgainstModel, WellFormedLines) {
    ExpectEngineMatchesModel(&DocumentGenerator::WellFormed, 77);
}

// The model is only worth comparing against if it knows the worked example.
TEST(EngineAgainstModel, ModelKnowsTheWorkedExample) {
    const ReferenceRun model =
        RunReferenceModel("001:001 The cat ate the apple.\r\n", u"a.txt", NumberSeparators{});
    ASSERT_EQ(model.unique.size(), 4u);
    EXPECT_EQ(model.unique[3],
              (std::vector<std::string>{"the", "           2", "001:001", "       4"}));
    EXPECT_EQ(model.summary[4][1], "9");
}

}  // namespace
}  // namespace quorvex::test
