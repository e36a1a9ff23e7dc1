// One document processed fifty times in one window: every run shows the same
// rows, and the memory the process holds does not creep up from run to run.
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QtTest>
#include <fstream>

#include "analysis/rows/summarytable.h"
#include "tests/ui/testing/windowsnapshot.h"
#include "tests/ui/testing/windowtest.h"
#include "testsupport/docgen/textgenerator.h"
#include "ui/frmmain.h"
#include "ui/reportlist/reportlist.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace quorvex {
namespace {

constexpr int kRuns = 50;
constexpr std::uint64_t kDocumentBytes = 3'000'000;
constexpr std::uint64_t kSeed = 4;
// Allocators keep a little slack of their own; a leak of even a few bytes
// a word or a row would add megabytes over the runs.
constexpr double kAllowedGrowth = 0.03;

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer holds freed blocks back in a quarantine of up to
// 256 MB before reusing them, so the resident size grows with every run until
// the quarantine is full. Its allocator counts the bytes still in use instead.
std::size_t MemoryInUse() {
    return __sanitizer_get_current_allocated_bytes();
}
#else
// Resident bytes, once the allocator has handed back what it can.
std::size_t MemoryInUse() {
    ::malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    std::size_t sizePages = 0;
    std::size_t residentPages = 0;
    statm >> sizePages >> residentPages;
    return residentPages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}
#endif

// The three lists as a run leaves them, but the elapsed time.
struct RunRows {
    QList<QStringList> summary;
    QList<QStringList> substitution;
    QList<QStringList> unique;

    bool operator==(const RunRows&) const = default;
};

RunRows RowsAfterRun(const frmMain& window) {
    RunRows rows{Rows(window.SummaryList()), Rows(window.SubstitutionList()),
                 Rows(window.UniqueList())};
    rows.summary[IndexOf(SummaryRow::TimeToComplete)][IndexOf(SummaryColumn::Value)].clear();
    return rows;
}

}  // namespace

class SoakTest : public WindowTest {
    Q_OBJECT

  private slots:
    void fiftyRunsShowTheSameRowsInTheSameMemory() {
        const QString path = folder_.filePath("soak.txt");
        {
            std::ofstream out(path.toStdString(), std::ios::binary);
            QVERIFY(docgen::WriteText(out, kDocumentBytes, kSeed));
        }
        QVERIFY(StartWindow());
        Open(path);
        QCOMPARE(window_->State().SourceLength, static_cast<std::int64_t>(kDocumentBytes));

        Process();
        const RunRows first = RowsAfterRun(*window_);
        QVERIFY(first.unique.size() > 1000);
        std::size_t afterSecond = 0;
        for (int run = 2; run <= kRuns; ++run) {
            Process();
            QVERIFY2(RowsAfterRun(*window_) == first,
                     qPrintable(QStringLiteral("run %1").arg(run)));
            if (run == 2) {
                afterSecond = MemoryInUse();
            }
        }
        const std::size_t afterLast = MemoryInUse();
        qInfo("memory in use after run 2: %zu bytes, after run %d: %zu bytes", afterSecond, kRuns,
              afterLast);
        QVERIFY2(afterLast <= afterSecond * (1 + kAllowedGrowth), "memory grew from run to run");
    }
};

}  // namespace quorvex

QTEST_MAIN(quorvex::SoakTest)

#include "soak_test.moc"
