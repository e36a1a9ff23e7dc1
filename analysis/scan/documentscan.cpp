#include "analysis/scan/documentscan.h"

#include <chrono>
#include <memory>
#include <span>
#include <utility>

#include "analysis/scan/linereader.h"
#include "analysis/scan/linerules.h"
#include "analysis/scan/textscanner.h"

namespace quorvex {

namespace {

constexpr std::int64_t kBytesBetweenProgressDraws = 1000;

// Sends each line where it belongs: headings and line references to the
// place new words record, the scanned part of text lines to the scanner.
void TakeLine(std::span<const std::uint8_t> line, TextScanner& scanner) {
    switch (KindOfLine(line)) {
        case LineKind::Heading:
            scanner.Place().SetHeading(HeadingTextOf(line));
            return;
        case LineKind::Skipped:
            return;
        case LineKind::Text:
            if (HasLineRef(line)) {
                scanner.Place().SetLineRef(LineRefOf(line));
            }
            scanner.Scan(ScannedPart(line));
            return;
    }
}

// Before the first line the bar is empty, on a scale of one.
constexpr ProgressPoint kEmptyBar{.minValue = 0, .maxValue = 1, .value = 0};

}  // namespace

std::optional<ScanOutcome> ScanDocument(AnalysisState& state, RunHooks& hooks) {
    const auto startTime = std::chrono::steady_clock::now();
    InitAnalysisTables(state);
    TextScanner scanner(
        state, std::span<const std::uint8_t>(state.SourceBytes->data(), state.SourceBytes->size()));
    hooks.ScanStarted(kEmptyBar);

    std::int64_t position = 1;
    std::span<const std::uint8_t> lineBytes;
    std::int64_t lineLength = 0;
    std::int64_t progressBytes = 0;
    while (ReadNextLine(state, position, lineBytes, lineLength)) {
        progressBytes += lineLength;
        if (progressBytes > kBytesBetweenProgressDraws) {
            hooks.DrawProgress({.maxValue = state.SourceLength, .value = position});
            progressBytes = 0;
        }
        TakeLine(lineBytes, scanner);
        if (hooks.LineDone() == RunControl::Stop) {
            return std::nullopt;
        }
    }
    scanner.Finish();

    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - startTime;
    state.UniqueWords = std::make_shared<const WordTable>(std::move(*state.Words).Seal());
    state.Words.reset();
    hooks.ScanEnded();
    return ScanOutcome{scanner.TotalWords(), elapsed.count()};
}

}  // namespace quorvex
