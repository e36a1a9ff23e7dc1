#include "tests/analysis/recordinghooks.h"

namespace quorvex::test {

void RecordingHooks::ScanStarted(const ProgressPoint& emptyBar) {
    emptyBars_.push_back(emptyBar);
    calls_ += 'S';
}

void RecordingHooks::DrawProgress(const ProgressPoint& point) {
    draws_.push_back({point, linesDone_ + 1});
    calls_ += 'D';
}

RunControl RecordingHooks::LineDone() {
    ++linesDone_;
    calls_ += 'L';
    return linesDone_ == stopAtLine_ ? RunControl::Stop : RunControl::Continue;
}

void RecordingHooks::ScanEnded() {
    calls_ += 'E';
}

}  // namespace quorvex::test
