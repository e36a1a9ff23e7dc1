#include "analysis/scan/linereader.h"

#include <gtest/gtest.h>

#include "tests/analysis/analysistesting.h"

namespace quorvex::test {
namespace {

// Every line ReadNextLine cuts from the state, checking on the way that the
// position moves on by exactly the line's length.
std::vector<std::string> AllLines(const AnalysisState& state) {
    std::vector<std::string> lines;
    std::int64_t position = 1;
    std::span<const std::uint8_t> lineBytes;
    std::int64_t lineLength = 0;
    for (;;) {
        const std::int64_t start = position;
        if (!ReadNextLine(state, position, lineBytes, lineLength)) {
            break;
        }
        EXPECT_EQ(position, start + lineLength);
        EXPECT_EQ(static_cast<std::int64_t>(lineBytes.size()), lineLength);
        lines.emplace_back(lineBytes.begin(), lineBytes.end());
    }
    return lines;
}

std::vector<std::string> AllLines(std::string_view document) {
    return AllLines(LoadedState(document));
}

TEST(LineReader, CutsLinesAfterEachLineFeed) {
    EXPECT_EQ(AllLines("abc\n"), (std::vector<std::string>{"abc\n"}));
    EXPECT_EQ(AllLines("one\r\ntwo\r\n"), (std::vector<std::string>{"one\r\n", "two\r\n"}));
    EXPECT_EQ(AllLines("\n\r\n\n"), (std::vector<std::string>{"\n", "\r\n", "\n"}));
    EXPECT_EQ(AllLines("a\rb\n"), (std::vector<std::string>{"a\rb\n"}));
}

TEST(LineReader, EmptyDocumentHasNoLine) {
    EXPECT_TRUE(AllLines("").empty());
}

TEST(LineReader, LastLineWithoutLineFeedIsReadToTheLastByte) {
    EXPECT_EQ(AllLines("x"), (std::vector<std::string>{"x"}));
    EXPECT_EQ(AllLines("ab\nc"), (std::vector<std::string>{"ab\n", "c"}));
    EXPECT_EQ(AllLines("ab\r\ncd\r"), (std::vector<std::string>{"ab\r\n", "cd\r"}));
    EXPECT_EQ(AllLines("no line feed"), (std::vector<std::string>{"no line feed"}));
}

TEST(LineReader, AtTheEndReportsNoLineAndChangesNothing) {
    const AnalysisState state = LoadedState("abc\n");
    std::int64_t position = 5;
    const std::uint8_t marker[] = {7};
    std::span<const std::uint8_t> lineBytes(marker);
    std::int64_t lineLength = 42;
    EXPECT_FALSE(ReadNextLine(state, position, lineBytes, lineLength));
    EXPECT_EQ(position, 5);
    EXPECT_EQ(lineBytes.data(), marker);
    EXPECT_EQ(lineBytes.size(), 1u);
    EXPECT_EQ(lineLength, 42);
}

// The buffer may be larger than the document; bytes past SourceLength are
// not part of it.
TEST(LineReader, StopsAtSourceLengthNotAtTheBufferEnd) {
    AnalysisState state = LoadedState("abc\ndef\n");
    state.SourceLength = 6;
    EXPECT_EQ(AllLines(state), (std::vector<std::string>{"abc\n", "de"}));
}

}  // namespace
}  // namespace quorvex::test
