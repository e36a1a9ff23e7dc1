#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/scan/documentscan.h"

namespace quorvex::test {

// Stands in for the window: remembers every progress point and every line
// done, and can ask the run to stop as the window does when it closes.
class RecordingHooks : public RunHooks {
  public:
    struct Draw {
        ProgressPoint point;
        std::int64_t line = 0;  // 1-based number of the line the draw came with
    };

    // With `stopAtLine` > 0 the run is asked to stop when that line is done.
    explicit RecordingHooks(std::int64_t stopAtLine = 0) : stopAtLine_(stopAtLine) {}

    void ScanStarted(const ProgressPoint& emptyBar) override;
    void DrawProgress(const ProgressPoint& point) override;
    RunControl LineDone() override;
    void ScanEnded() override;

    const std::vector<ProgressPoint>& EmptyBars() const { return emptyBars_; }
    const std::vector<Draw>& Draws() const { return draws_; }
    std::int64_t LinesDone() const { return linesDone_; }
    // One letter per call, in call order: S(tarted), D(raw), L(ine done), E(nded).
    const std::string& Calls() const { return calls_; }

  private:
    std::int64_t stopAtLine_;
    std::vector<ProgressPoint> emptyBars_;
    std::vector<Draw> draws_;
    std::int64_t linesDone_ = 0;
    std::string calls_;
};

}  // namespace quorvex::test
