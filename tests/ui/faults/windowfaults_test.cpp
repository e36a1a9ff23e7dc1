// Files that cannot be loaded, and documents that can however odd they are,
// through the window driven offscreen: each shows the user a clear message or
// the rows the document gives, and changes nothing else.
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLocale>
#include <QtTest>

#include "analysis/rows/substitutionrows.h"
#include "analysis/rows/summarytable.h"
#include "analysis/rows/uniquewordrows.h"
#include "tests/ui/testing/allocationlimit.h"
#include "tests/ui/testing/windowsnapshot.h"
#include "tests/ui/testing/windowtest.h"
#include "ui/frmmain.h"
#include "ui/progress/progressbar.h"
#include "ui/reportlist/reportlist.h"
#include "ui/reportlist/reportlisttexts.h"
#include "ui/tabcontainer.h"
#include "ui/windowtexts.h"

namespace quorvex {
namespace {

using UniqueColumn = UniqueWordRows::Column;

constexpr uid_t kNobody = 65534;
constexpr qint64 kTwoGiB = 2147483648;
// Enough words that the order of the Unique Words list, four bytes a row, is
// larger than anything else allocated while it is filled or sorted.
constexpr int kManyWords = 100'000;
constexpr std::size_t kOrderBytes = kManyWords * 4 / 2;
constexpr qsizetype kLongWord = 200'000;

// Acts as the unprivileged user and group 65534 while it lives, so that file
// permissions hold even for a test run as root. Anyone else is bound by them
// already, and stays as they are.
class ActingAsNobody {
  public:
    ActingAsNobody() : uid_(::geteuid()), gid_(::getegid()) {
        if (uid_ == 0) {
            dropped_ = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
        }
    }
    ~ActingAsNobody() {
        if (uid_ == 0 && ::seteuid(uid_) == 0) {
            ::setegid(gid_);
        }
    }
    ActingAsNobody(const ActingAsNobody&) = delete;
    ActingAsNobody& operator=(const ActingAsNobody&) = delete;

    bool BoundByPermissions() const { return uid_ != 0 || dropped_; }

  private:
    uid_t uid_;
    gid_t gid_;
    bool dropped_ = false;
};

long PeakResidentKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString Padded(qint64 count, int width = 12) {
    return QLocale().toString(count).rightJustified(width, u' ');
}

QByteArray Repeated(const QByteArray& pattern, qsizetype length) {
    QByteArray text = pattern.repeated(length / pattern.size() + 1);
    text.truncate(length);
    return text;
}

}  // namespace

class WindowFaultsTest : public WindowTest {
    Q_OBJECT

  private:
    QString SummaryValue(SummaryRow row) const {
        return window_->SummaryList()->Text(IndexOf(row), IndexOf(SummaryColumn::Value));
    }

    // The window as a fault finds it: a document loaded and its results shown.
    void ShowResultsOfADocument() {
        Open(WriteFile("shown.txt", "Book 01 Shown\r\n001:001 Alpha beta, alpha.\r\n"));
        Process();
        QCOMPARE(window_->UniqueList()->RowCount(), 2);
    }

    // Rows selected in all three lists, the two larger ones sorted by Count.
    void SortAndSelectRows() {
        window_->lvwSubstitution_ColumnClick(ClickIndex(SubstitutionRows::Column::Count));
        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::Count));
        for (const ReportList* list :
             {window_->SummaryList(), window_->SubstitutionList(), window_->UniqueList()}) {
            list->selectionModel()->select(list->model()->index(1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    void ExpectProblem(const QString& title, const QString& text, const WindowSnapshot& before) {
        QCOMPARE(dialogs_->problems, QStringList{title + QLatin1Char('\n') + text});
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY2(Snapshot(*window_) == before, "the failed command changed the window");
    }

    void ExpectRefused(const QString& path, const QString& reason, const WindowSnapshot& before) {
        QCOMPARE(dialogs_->problems, QStringList{text::LoadFailedTitle() + QLatin1Char('\n') +
                                                 text::LoadFailed().arg(path, reason)});
        QVERIFY2(Snapshot(*window_) == before, "the refused file changed the window");
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

  private slots:
    void init() { QVERIFY(StartWindow()); }
    void cleanup() { CloseWindow(); }

    // The order of the Unique Words list, the last to be filled, is the first
    // allocation the limit refuses.
    void aFillWithoutMemoryChangesNoListNorItsSettingsOrSelection() {
        ShowResultsOfADocument();
        Open(WriteFile("many.txt", DistinctWords(kManyWords)));
        SortAndSelectRows();
        const WindowSnapshot before = Snapshot(*window_);
        {
            const AllocationLimit limit(kOrderBytes);
            Process();
        }
        ExpectProblem(text::RunFailedTitle(), text::RunFailed().arg(text::ReasonNoMemoryForWords()),
                      before);
    }

    void theKeysActAtOnceAfterARunAndAFailedOneThatKeepsTheRow() {
        Open(WriteFile("many.txt", DistinctWords(kManyWords)));
        ReportList* unique = window_->UniqueList();
        // Sorted, so that its fill makes an order for the limit to refuse.
        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::Count));
        for (const std::size_t refusedFrom : {SIZE_MAX, kOrderBytes}) {
            window_->Tabs()->SetCurrentTab(2);
            unique->setFocus();
            QGuiApplication::clipboard()->clear();
            {
                const AllocationLimit limit(refusedFrom);
                Process();
            }
            QTest::keySequence(window_->windowHandle(),
                               QKeySequence(Qt::Key_Down | Qt::NoModifier, Qt::CTRL | Qt::Key_A,
                                            Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Tab));
            QCOMPARE(unique->currentIndex().row(), refusedFrom == kOrderBytes ? 2 : 1);
            QCOMPARE(QGuiApplication::clipboard()->text().count(u'\n'), unique->RowCount() + 1);
            QCOMPARE(window_->Tabs()->CurrentTab(), 0);
        }
    }

    void aSortWithoutMemoryChangesNothingAndSaysSo() {
        Open(WriteFile("many.txt", DistinctWords(kManyWords)));
        Process();
        SortAndSelectRows();
        const WindowSnapshot before = Snapshot(*window_);
        {
            const AllocationLimit limit(kOrderBytes);
            window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::Word));
        }
        ExpectProblem(listtext::kSortFailedTitle, listtext::kSortWithoutMemory, before);
        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::Word));
        QCOMPARE(window_->UniqueList()->SortKey(), IndexOf(UniqueColumn::Word));
    }

    // The cells' texts are made as they are copied; the long word's cannot.
    void aCopyWithoutMemoryLeavesTheClipboardAndSaysSo() {
        Open(WriteFile("long.txt", "001:001 " + Repeated("q", kLongWord) + " short\r\n"));
        Process();
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        const WindowSnapshot before = Snapshot(*window_);
        {
            const AllocationLimit limit(kLongWord);
            window_->UniqueList()->CopyAllRows();
        }
        ExpectProblem(listtext::kCopyRefusedTitle, listtext::kCopyWithoutMemory, before);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
        window_->UniqueList()->CopyAllRows();
        QVERIFY(QGuiApplication::clipboard()->text().endsWith("short\t1\t001:001\t2\n"));
    }

    void aFileItMayNotReadIsRefused() {
        ShowResultsOfADocument();
        // The folder is open to all, so that only the file's own permissions stand in the way.
        QVERIFY(QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner | QFile::ReadOther |
                                                          QFile::ExeOther));
        const QString path = WriteFile("secret.txt", "001:001 hidden\r\n");
        QVERIFY(QFile::setPermissions(path, {}));
        const WindowSnapshot before = Snapshot(*window_);
        {
            const ActingAsNobody nobody;
            QVERIFY(nobody.BoundByPermissions());
            Open(path);
        }
        ExpectRefused(path, text::ReasonAccessDenied(), before);
    }

    // Made as `truncate` makes it: 2 GiB of nothing on disk. Reading it, or
    // merely allocating its size, would raise the peak memory by 2 GiB.
    void aSparseFileOf2GiBIsRefusedWithoutAllocatingIt() {
        ShowResultsOfADocument();
        const QString path = WriteFile("huge.txt", {});
        QVERIFY(QFile::resize(path, kTwoGiB));
        const WindowSnapshot before = Snapshot(*window_);
        const long peakBefore = PeakResidentKiB();
        Open(path);
        ExpectRefused(path,
                      "it is 2 GiB or larger; documents must be smaller than 2,147,483,648 bytes.",
                      before);
        QVERIFY2(PeakResidentKiB() - peakBefore < 64 * 1024, "the refused file was allocated");
    }

    // A run works on the document as it was loaded; opening it again reads
    // what the file holds now.
    void aRunUsesTheLoadedBytesNotTheFileAsItIsNow() {
        const QByteArray loaded = "001:001 alpha beta\r\n";
        const QString path = WriteFile("changing.txt", loaded);
        Open(path);
        WriteFile("changing.txt", "001:001 gamma delta epsilon zeta\r\n");
        Process();
        QCOMPARE(SummaryValue(SummaryRow::FileSize), QStringLiteral("20 bytes"));
        QCOMPARE(SummaryValue(SummaryRow::TotalWordCount), QStringLiteral("2"));
        QCOMPARE(Rows(window_->UniqueList()),
                 (QList<QStringList>{{"alpha", Padded(1), "001:001", Padded(1, 8)},
                                     {"beta", Padded(1), "001:001", Padded(2, 8)}}));

        Open(path);
        Process();
        QCOMPARE(SummaryValue(SummaryRow::FileSize), QStringLiteral("34 bytes"));
        QCOMPARE(SummaryValue(SummaryRow::TotalWordCount), QStringLiteral("4"));
    }

    void anEmptyFirstDocumentLeavesProcessingUnavailable() {
        const QString path = WriteFile("empty.txt", {});
        Open(path);
        QCOMPARE(Rows(window_->SummaryList()),
                 (QList<QStringList>{{"File Loaded", path}, {"File Size", "0 bytes"}}));
        QVERIFY(!window_->ProcessFileAction()->isEnabled());
        QVERIFY(dialogs_->problems.isEmpty());
    }

    // Bytes 255 down to 0 make two lines, each with a 7-byte line reference;
    // the first line holds the small letters and the capitals, a word twice.
    // Its reference, bytes 255 to 249, shows one character a byte.
    void everyByteValueReachesTheListsOneCharacterEach() {
        QByteArray document;
        for (int b = 255; b >= 0; --b) {
            document += static_cast<char>(b);
        }
        Open(WriteFile("bytes.bin", document));
        Process();
        QCOMPARE(SummaryValue(SummaryRow::FileSize), QStringLiteral("256 bytes"));
        QCOMPARE(SummaryValue(SummaryRow::TotalWordCount), QStringLiteral("2"));
        QCOMPARE(SummaryValue(SummaryRow::SubstitutionCount), QStringLiteral("216"));
        QCOMPARE(Rows(window_->UniqueList()),
                 (QList<QStringList>{{"zyxwvutsrqponmlkjihgfedcba", Padded(2),
                                      QStringLiteral("\u00FF\u00FE\u00FD\u00FC\u00FB\u00FA\u00F9"),
                                      Padded(1, 8)}}));
        QCOMPARE(window_->SubstitutionList()->RowCount(), 256);
        const int count = IndexOf(SubstitutionRows::Column::Count);
        QCOMPARE(window_->SubstitutionList()->Text(0, count), Padded(1));
        QCOMPARE(window_->SubstitutionList()->Text(3, count), Padded(0));
    }

    void aSingleLineOf50MBIsProcessed() {
        Open(WriteFile("line.txt", "001:001 " + Repeated("Alpha beta's GAMMA. ", 50'000'000)));
        Process();
        QCOMPARE(SummaryValue(SummaryRow::TotalWordCount), QLocale().toString(7'500'000));
        QCOMPARE(Rows(window_->UniqueList()),
                 (QList<QStringList>{{"alpha", Padded(2'500'000), "001:001", Padded(1, 8)},
                                     {"betas", Padded(2'500'000), "001:001", Padded(2, 8)},
                                     {"gamma", Padded(2'500'000), "001:001", Padded(3, 8)}}));
        QVERIFY(window_->ProcessFileAction()->isEnabled());
        QVERIFY(!window_->Progress()->isVisible());
    }

    // A megabyte heading over a thousand lines of new words, and a word of a
    // megabyte: every first occurrence refers to the one heading instead of
    // copying it, cells show the first 4,096 characters and an ellipsis,
    // and the whole texts stay there for sorting and copying.
    void longHeadingsAndWordsAreHeldOnceAndShownCut() {
        const QByteArray heading = "B" + Repeated(
                                             "Ab\xE9"
                                             "c ",
                                             1'000'000);
        QByteArray document = heading + "\r\n";
        for (int line = 0; line < 1000; ++line) {
            document += "0000000w";
            for (int n = line; n > 0; n /= 26) {
                document += static_cast<char>('a' + n % 26);
            }
            document += "\r\n";
        }
        const QByteArray word = Repeated("q", 1'000'000);
        document += "0000001 " + word + "\r\n";
        const long peakBefore = PeakResidentKiB();
        Open(WriteFile("long.txt", document));
        Process();
        ReportList* unique = window_->UniqueList();
        QCOMPARE(unique->RowCount(), 1001);
        QVERIFY2(PeakResidentKiB() - peakBefore < 256 * 1024, "the heading was copied per word");

        QString headingText = QString::fromLatin1(heading);
        headingText[7] = u' ';
        const QString ellipsis(QChar(0x2026));
        const int shownWord = IndexOf(UniqueColumn::Word);
        const int firstOccurs = IndexOf(UniqueColumn::FirstOccurs);
        QCOMPARE(unique->Text(0, shownWord), QString::fromLatin1(word));
        QCOMPARE(unique->Rows().ShownText(0, shownWord),
                 QString::fromLatin1(word.left(4096)) + ellipsis);
        QCOMPARE(unique->Text(0, firstOccurs), headingText + "  0000001");
        QCOMPARE(unique->Text(1, firstOccurs), headingText + "  0000000");
        QCOMPARE(unique->Rows().data(unique->Rows().index(1, firstOccurs)).toString(),
                 headingText.left(4096) + ellipsis);
        QCOMPARE(unique->Text(1, shownWord), "w");

        window_->Tabs()->SetCurrentTab(2);
        QVERIFY(!unique->grab().isNull());
        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::FirstOccurs));
        QCOMPARE(unique->Text(0, shownWord), "w");
        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::Count));
        QCOMPARE(unique->Text(0, shownWord), QString::fromLatin1(word));
        QVERIFY(!unique->grab().isNull());
    }
};

}  // namespace quorvex

int main(int argc, char* argv[]) {
    // Counts are grouped in threes with the locale's separator; a fixed
    // locale keeps the expected texts the same on every machine.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    quorvex::WindowFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "windowfaults_test.moc"
