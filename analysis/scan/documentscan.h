#pragma once

#include <cstdint>
#include <optional>

#include "analysis/scan/analysisstate.h"

namespace quorvex {

// How far a run has got: `value` on a scale from minValue to maxValue.
struct ProgressPoint {
    std::int64_t minValue = 0;
    std::int64_t maxValue = 0;
    std::int64_t value = 0;
};

enum class RunControl { Continue, Stop };

// What a window attaches to a run. The scan calls these on the thread that
// called ScanDocument, in this order: ScanStarted once, then for every line
// DrawProgress when the bytes read since the last draw pass 1000 and
// LineDone after the line; ScanEnded when the document is exhausted.
// LineDone may stop the run.
class RunHooks {
  public:
    virtual ~RunHooks() = default;
    // Show the progress display, draw the empty bar, repaint.
    virtual void ScanStarted(const ProgressPoint& emptyBar) = 0;
    virtual void DrawProgress(const ProgressPoint& point) = 0;
    virtual RunControl LineDone() = 0;
    // Hide the progress display.
    virtual void ScanEnded() = 0;
};

// The hooks of a run outside any window: nothing drawn, never stopped.
class SilentHooks : public RunHooks {
  public:
    void ScanStarted(const ProgressPoint&) override {}
    void DrawProgress(const ProgressPoint&) override {}
    RunControl LineDone() override { return RunControl::Continue; }
    void ScanEnded() override {}
};

struct ScanOutcome {
    std::int64_t totalWords = 0;
    double elapsedSeconds = 0;
};

// The document scan: counts every scanned byte in CharCount and tallies every
// word in the word index, which becomes the table of UniqueWords when the
// document is exhausted. Returns nothing when a hook stopped the run.
std::optional<ScanOutcome> ScanDocument(AnalysisState& state, RunHooks& hooks);

}  // namespace quorvex
