// The Occurrences window as a user meets it: opened from Unique Words, its
// plot, concordance and count per heading, driven offscreen.
#include "ui/occurrences/occurrenceswindow.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include "analysis/occurrences/concordancerows.h"
#include "analysis/occurrences/headingcountrows.h"
#include "analysis/rows/uniquewordrows.h"
#include "tests/ui/testing/addressspacelimit.h"
#include "tests/ui/testing/windowsnapshot.h"
#include "tests/ui/testing/windowtest.h"
#include "ui/occurrences/dispersionplot.h"
#include "ui/reportlist/reportlist.h"
#include "ui/tabcontainer.h"

namespace quorvex {
namespace {

using Concordance = ConcordanceRows::Column;
using UniqueColumn = UniqueWordRows::Column;

// Occurrences of "sing" before the first heading and under one heading,
// of "song" under both; thirteen distinct words, the first two "sing"s a
// pixel or two apart on the plot.
const QByteArray kPsalm =
    "0000000 Sing, sing!\r\n"
    "Book 01 Psalms\r\n"
    "001:001 O sing unto the LORD a new song\r\n"
    "001:002 Sing unto the LORD, all the earth.\r\n"
    "Book 02 Songs\r\n"
    "001:001 The song of songs\r\n"
    "001:002" +
    QByteArray(" la").repeated(400) + "\r\n";

}  // namespace

class OccurrencesWindowTest : public WindowTest {
    Q_OBJECT

  private:
    ReportList* Unique() const { return window_->UniqueList(); }
    QList<OccurrencesWindow*> Open() const { return window_->OccurrencesWindows(); }

    int RowOf(const QString& word) const {
        for (int row = 0; row < Unique()->RowCount(); ++row) {
            if (Unique()->Text(row, IndexOf(UniqueColumn::Word)) == word) {
                return row;
            }
        }
        return -1;
    }

    void SelectWords(const QStringList& words) {
        Unique()->clearSelection();
        for (const QString& word : words) {
            Unique()->selectionModel()->select(
                Unique()->model()->index(RowOf(word), 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    void PressEnterOn(const QString& word) {
        Unique()->setCurrentIndex(Unique()->model()->index(RowOf(word), 0));
        QTest::keyClick(Unique(), Qt::Key_Return);
    }

    void OpenPsalm() {
        WindowTest::Open(WriteFile("psalm.txt", kPsalm));
        Process();
        window_->Tabs()->SetCurrentTab(2);
    }

    // The window of the last opening, once its rows are shown.
    OccurrencesWindow* Shown(int rows) {
        OccurrencesWindow* found = Open().last();
        [&] { QTRY_COMPARE(found->Concordance()->RowCount(), rows); }();
        return found;
    }

    QStringList Titles() const {
        QStringList titles;
        for (const OccurrencesWindow* open : Open()) {
            titles.append(open->windowTitle());
        }
        return titles;
    }

  private slots:
    void init() { QVERIFY(StartWindow()); }
    void cleanup() { CloseWindow(); }

    void opensFromTheMenuEnterAndADoubleClickOncePerSetOfWords() {
        OpenPsalm();
        PressEnterOn("song");
        QCOMPARE(Titles(), QStringList{"Occurrences of song"});
        PressEnterOn("song");
        QCOMPARE(Open().size(), 1);
        ClickRow(Unique(), RowOf("sing"));
        QTest::mouseDClick(
            Unique()->viewport(), Qt::LeftButton, {},
            Unique()->visualRect(Unique()->model()->index(RowOf("sing"), 0)).center());
        // The words in the list's order; the same words again raise their window.
        SelectWords({"the", "song", "sing"});
        QCOMPARE(UseContextMenu(Unique(), "Show Occurrences").first(), "Show Occurrences");
        SelectWords({"song", "the", "sing"});
        UseContextMenu(Unique(), "Show Occurrences");
        SelectWords({"sing", "o", "unto", "the", "lord", "a", "new", "song", "all"});
        UseContextMenu(Unique(), "Show Occurrences");
        QCOMPARE(dialogs_->problems,
                 QStringList{"Cannot Show Occurrences\nSelect at most 8 words."});
        QCOMPARE(Titles(), (QStringList{"Occurrences of song", "Occurrences of sing",
                                        "Occurrences of sing, song, the"}));
    }

    void availableOnlyForTheWordsOfTheLoadedDocument() {
        OpenPsalm();
        QVERIFY(window_->ShowOccurrencesAction()->isEnabled());
        PressEnterOn("sing");
        WindowTest::Open(QString());
        QCOMPARE(Open().size(), 1);
        WindowTest::Open(WriteFile("psalm.txt", kPsalm));
        QVERIFY(Open().isEmpty());
        PressEnterOn("sing");
        UseContextMenu(Unique(), "Show Occurrences");
        QVERIFY(Open().isEmpty());
        QVERIFY(!window_->ShowOccurrencesAction()->isEnabled());

        // A run closes the windows and disables the command while it lasts.
        WindowTest::Open(
            WriteFile("long.txt", QByteArray("0000000 sing a song\r\n").repeated(1'500'000)));
        Process();
        PressEnterOn("sing");
        QCOMPARE(Open().size(), 1);
        bool enabledDuringRun = true;
        QTimer::singleShot(0, window_.get(), [&] {
            enabledDuringRun = window_->ShowOccurrencesAction()->isEnabled() || !Open().isEmpty();
        });
        Process();
        QVERIFY(!enabledDuringRun);
        QVERIFY(window_->ShowOccurrencesAction()->isEnabled());
        PressEnterOn("sing");
        window_->close();
        QVERIFY(Open().isEmpty());
    }

    void showsTheOccurrencesAndSelectsThemFromThePlotAndTheHeadings() {
        OpenPsalm();
        SelectWords({"sing", "song"});
        UseContextMenu(Unique(), "Show Occurrences");
        OccurrencesWindow* shown = Open().last();
        QAbstractItemModelTester concordanceTester(shown->Concordance()->model());
        QAbstractItemModelTester headingTester(shown->HeadingCounts()->model());
        shown = Shown(6);
        ReportList* concordance = shown->Concordance();
        // Each word's rows are its Count, the first of them its First Occurs.
        for (const QString word : {"sing", "song"}) {
            QStringList places;
            for (int row = 0; row < concordance->RowCount(); ++row) {
                if (concordance->Text(row, IndexOf(Concordance::Word)).toLower() == word) {
                    places.append(concordance->Text(row, IndexOf(Concordance::Heading)) +
                                  concordance->Text(row, IndexOf(Concordance::Reference)));
                }
            }
            QCOMPARE(QString::number(places.size()),
                     Unique()->Text(RowOf(word), IndexOf(UniqueColumn::Count)).trimmed());
            QCOMPARE(places.first(),
                     Unique()->Text(RowOf(word), IndexOf(UniqueColumn::FirstOccurs)));
        }
        QCOMPARE(
            QAccessible::queryAccessibleInterface(shown->Plot())->text(QAccessible::Description),
            "sing: 4 occurrences under 1 of 2 headings, first 0000000, last Book 01 Psalms  "
            "001:002\n"
            "song: 2 occurrences under 2 of 2 headings, first Book 01 Psalms  001:001, last "
            "Book 02 Songs  001:001");

        // In the order found, a heading row selects its first occurrence too.
        shown->HeadingCounts()->setCurrentIndex(shown->HeadingCounts()->model()->index(1, 0));
        QCOMPARE(concordance->currentIndex().row(), 2);

        // Hovering names the place under the pointer; a click on a strip's first
        // and last mark selects that occurrence, whatever the concordance's order.
        concordance->SetSortSettings(IndexOf(Concordance::Left), true, 1);
        const QImage picture = shown->Plot()->grab().toImage();
        const QRgb mark = shown->Plot()->palette().color(QPalette::Highlight).rgb();
        QList<QList<int>> bands;  // per strip: its middle row, first and last mark
        for (int y = 0; y < picture.height(); ++y) {
            QList<int> marks;
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.pixel(x, y) == mark) {
                    marks.append(x);
                }
            }
            if (!marks.isEmpty() && (bands.isEmpty() || bands.last()[0] < y - 1)) {
                bands.append({y, marks.first(), marks.last()});
            } else if (!marks.isEmpty()) {
                bands.last()[0] = y;
            }
        }
        QCOMPARE(bands.size(), 2);
        UseContextMenu(shown->Plot(), "Copy Picture");
        QCOMPARE(QGuiApplication::clipboard()->image(), picture);
        const QStringList expected[] = {{"0000000", "Book 01 Psalms  001:002"},
                                        {"Book 01 Psalms  001:001", "Book 02 Songs  001:001"}};
        const auto tipAt = [plot = shown->Plot()](QPoint point) {
            QHelpEvent hover(QEvent::ToolTip, point, plot->mapToGlobal(point));
            QApplication::sendEvent(plot, &hover);
            return QToolTip::text();
        };
        // Far right, past every mark, the long last line's place.
        QCOMPARE(tipAt(QPoint(shown->Plot()->width() - 10, bands[1][0] - 4)),
                 "Book 02 Songs  001:002");
        for (int strip = 0; strip < 2; ++strip) {
            for (int end = 0; end < 2; ++end) {
                const QPoint point(bands[strip][1 + end], bands[strip][0] - 4);
                QCOMPARE(tipAt(point), expected[strip][end]);
                QTest::mouseClick(shown->Plot(), Qt::LeftButton, {}, point);
                const int row = concordance->currentIndex().row();
                QCOMPARE(concordance->Text(row, IndexOf(Concordance::Heading)) +
                             concordance->Text(row, IndexOf(Concordance::Reference)),
                         expected[strip][end]);
                QCOMPARE(concordance->Text(row, IndexOf(Concordance::Word)).toLower(),
                         strip == 0 ? "sing" : "song");
                if (strip == 0 && end == 0) {
                    QCOMPARE(concordance->Text(row, IndexOf(Concordance::Left)), " ");
                }
            }
        }
        concordance->SetSortSettings(IndexOf(Concordance::Reference), true, 0);

        // A heading row selects its first occurrence; the line shows whole.
        shown->HeadingCounts()->setCurrentIndex(shown->HeadingCounts()->model()->index(2, 0));
        QCOMPARE(concordance->currentIndex().row(), 5);
        QCOMPARE(shown->WholeLine()->text(), "001:001 The song of songs");
        shown->HeadingCounts()->setCurrentIndex(shown->HeadingCounts()->model()->index(1, 0));
        QCOMPARE(concordance->currentIndex().row(), 2);
        QCOMPARE(concordance->Text(3, IndexOf(Concordance::Left)), " O sing unto the LORD a new ");
        shown->ContextWidth()->setValue(20);
        QCOMPARE(concordance->Text(3, IndexOf(Concordance::Left)), "unto the LORD a new ");
        QCOMPARE(concordance->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(concordance->currentIndex().row(), 2);
    }

    void longWordsAreCutAndEscapeCloses() {
        const QByteArray word(45, 'q');
        WindowTest::Open(WriteFile("long.txt", "0000000 " + word + "\r\n"));
        Process();
        PressEnterOn(QString::fromLatin1(word));
        QPointer<OccurrencesWindow> shown = Shown(1);
        const QString cut = QString(40, u'q') + QChar(u'\u2026');
        QCOMPARE(shown->windowTitle(), "Occurrences of " + cut);
        QCOMPARE(shown->HeadingCounts()->model()->headerData(3, Qt::Horizontal).toString(),
                 cut + " per 10" + QLocale().groupSeparator() + "000");
        QVERIFY(QAccessible::queryAccessibleInterface(shown->Plot())
                    ->text(QAccessible::Description)
                    .startsWith(cut + ": 1 occurrences under 0 of 0 headings"));
        shown->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shown));
        QTest::keyClick(shown->Concordance(), Qt::Key_Escape);
        QTRY_VERIFY(shown.isNull());
    }

    void withoutMemoryTheWindowClosesAndSaysSo() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer allocates past the limit on its own");
#endif
        // Twelve million occurrences take more than a hundred MiB to find.
        WindowTest::Open(WriteFile("many.txt", "0000000 " + QByteArray("a ").repeated(12'000'000)));
        Process();
        Unique()->setCurrentIndex(Unique()->model()->index(0, 0));
        const WindowSnapshot before = Snapshot(*window_);
        {
            const AddressSpaceLimit limit(64 * 1024 * 1024);
            QTest::keyClick(Unique(), Qt::Key_Return);
            QTRY_COMPARE(dialogs_->problems.size(), 1);
        }
        QCOMPARE(dialogs_->problems.first(),
                 "Cannot Show Occurrences\nThere is not enough memory to find these occurrences. "
                 "The main window is unchanged.");
        QVERIFY(Open().isEmpty());
        QVERIFY(Snapshot(*window_) == before);
    }
};

}  // namespace quorvex

QTEST_MAIN(quorvex::OccurrencesWindowTest)
#include "occurrenceswindow_test.moc"
