// The window as a user meets it: menus, tabs, lists, loading and running,
// driven offscreen with the dialogs answered by the test.
#include "ui/frmmain.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "analysis/rows/substitutionrows.h"
#include "analysis/rows/summarytable.h"
#include "analysis/rows/uniquewordrows.h"
#include "tests/analysis/clibrarylocale.h"
#include "tests/ui/testing/addressspacelimit.h"
#include "tests/ui/testing/windowsnapshot.h"
#include "tests/ui/testing/windowtest.h"
#include "ui/progress/progressbar.h"
#include "ui/reportlist/reportlist.h"
#include "ui/tabcontainer.h"

namespace quorvex {
namespace {

using SubstitutionColumn = SubstitutionRows::Column;
using UniqueColumn = UniqueWordRows::Column;

QStringList Headers(const ReportList* list) {
    QStringList captions;
    for (int column = 0; column < list->model()->columnCount(); ++column) {
        captions.append(list->model()->headerData(column, Qt::Horizontal).toString());
    }
    return captions;
}

// The words of the Unique Words list, as shown.
QStringList Words(const ReportList* unique) {
    QStringList words;
    for (int row = 0; row < unique->RowCount(); ++row) {
        words.append(unique->Text(row, IndexOf(UniqueColumn::Word)));
    }
    return words;
}

QString Padded(const QString& text, int width) {
    return text.rightJustified(width, u' ');
}

QString ClipboardText() {
    return QGuiApplication::clipboard()->mimeData()->text();
}

}  // namespace

class FrmMainTest : public WindowTest {
    Q_OBJECT

  private:
    bool FileEnabled() const { return window_->FileMenu()->menuAction()->isEnabled(); }

    // A document long enough that the run looks at the user interface.
    QByteArray LongDocument() {
        QByteArray text;
        for (int line = 0; text.size() < 30'000'000; ++line) {
            if (line % 30 == 0) {
                text += "Book " + QByteArray::number(line / 30 % 100) + " Chapter\r\n";
            }
            text += "001:" + QByteArray::number(line % 1000).rightJustified(3, '0') +
                    " The quick brown fox jumps over the lazy dog again\r\n";
        }
        return text;
    }

  private slots:
    void init() { QVERIFY(StartWindow()); }
    void cleanup() { CloseWindow(); }

    void startsWithNoDocument() {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Zell Quorvex"));
        QCOMPARE(window_->centralWidget()->size(), QSize(645, 461));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        QVERIFY(FileEnabled());
        QVERIFY(window_->OpenAction()->isEnabled());
        QVERIFY(window_->ExitAction()->isEnabled());
        QVERIFY(!window_->ProcessFileAction()->isEnabled());
        QVERIFY(window_->Tabs()->isEnabled());
        QCOMPARE(window_->Tabs()->CurrentTab(), 0);
        QCOMPARE(window_->SummaryList()->RowCount(), 0);
        QVERIFY(!window_->Progress()->isVisible());
        QVERIFY(!window_->windowIcon().isNull());
    }

    void menusAndTabsAreAsDesigned() {
        const QList<QAction*> bar = window_->menuBar()->actions();
        QCOMPARE(bar.size(), 2);
        QCOMPARE(bar[0]->text(), QStringLiteral("File"));
        QCOMPARE(bar[1]->text(), QStringLiteral("Process File"));
        QVERIFY(bar[1]->menu() == nullptr);
        const QList<QAction*> file = window_->FileMenu()->actions();
        QCOMPARE(file.size(), 3);
        QCOMPARE(file[0]->text(), QStringLiteral("Open"));
        QVERIFY(file[1]->isSeparator());
        QCOMPARE(file[2]->text(), QStringLiteral("Exit"));

        const QTabBar* tabs = window_->Tabs()->TabBar();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Summary"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Substitutions"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Unique Words"));
        // The bar sits in the strip beside the captions, not over them.
        QVERIFY(tabs->geometry().right() < 260);
        QCOMPARE(window_->Progress()->geometry(), QRect(260, 4, 377, 13));

        QCOMPARE(Headers(window_->SummaryList()), (QStringList{"Item", "Value"}));
        QCOMPARE(Headers(window_->SubstitutionList()),
                 (QStringList{"Ascii", "Char", "Count", "Replaced With"}));
        QCOMPARE(Headers(window_->UniqueList()),
                 (QStringList{"Word", "Count", "First Occurs", "Original Order"}));
        const qreal ratio = window_->devicePixelRatioF();
        const auto width = [ratio](const ReportList* list, int column) {
            return qRound(list->header()->sectionSize(column) * ratio);
        };
        const ReportList* substitution = window_->SubstitutionList();
        QCOMPARE(width(substitution, IndexOf(SubstitutionColumn::Ascii)), 80);
        QCOMPARE(width(substitution, IndexOf(SubstitutionColumn::ReplacedWith)), 200);
        QCOMPARE(width(window_->UniqueList(), IndexOf(UniqueColumn::FirstOccurs)), 300);
        const auto alignment = [](const ReportList* list, int column) {
            return list->model()
                       ->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)
                       .value<Qt::Alignment>() &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(window_->UniqueList(), IndexOf(UniqueColumn::Count)), Qt::AlignHCenter);
        QCOMPARE(alignment(substitution, IndexOf(SubstitutionColumn::Count)), Qt::AlignRight);
    }

    void loadShowsTheHeadRowsAndEnablesProcessing() {
        const QString path = WriteFile("cat.txt", "001:001 The cat ate the apple.\r\n");
        Open(path);
        QCOMPARE(Rows(window_->SummaryList()),
                 (QList<QStringList>{{"File Loaded", path}, {"File Size", "32 bytes"}}));
        QVERIFY(window_->ProcessFileAction()->isEnabled());
        QCOMPARE(window_->State().SourceLength, 32);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void cancelOrFailureChangesNothing() {
        const QString path = WriteFile("cat.txt", "001:001 The cat ate the apple.\r\n");
        Open(path);
        const QList<QStringList> head = Rows(window_->SummaryList());

        Open(QString());
        QCOMPARE(QString::fromStdU16String(window_->State().SourceFileName), path);

        const QString missing = folder_.filePath("missing.txt");
        for (const QString& bad : {missing, folder_.path()}) {
            Open(bad);
            QCOMPARE(dialogs_->problems.size(), 1);
            QVERIFY2(dialogs_->problems.takeFirst().contains(bad), "the message names the file");
            QCOMPARE(QString::fromStdU16String(window_->State().SourceFileName), path);
            QCOMPARE(window_->State().SourceLength, 32);
            QCOMPARE(Rows(window_->SummaryList()), head);
            QVERIFY(window_->ProcessFileAction()->isEnabled());
            QVERIFY(QApplication::overrideCursor() == nullptr);
        }

        Process();
        QCOMPARE(window_->SummaryList()->Text(IndexOf(SummaryRow::FileLoaded),
                                              IndexOf(SummaryColumn::Value)),
                 path);
    }

    void aFileThatVanishesBeforeTheReadIsReported() {
        const QString path = WriteFile("gone.txt", "001:001 here today\r\n");
        dialogs_->whileChoosing = [path] { QFile::remove(path); };
        Open(path);
        QCOMPARE(dialogs_->problems.size(), 1);
        QVERIFY(dialogs_->problems.first().contains(path));
        QVERIFY(window_->State().SourceFileName.empty());
        QCOMPARE(window_->SummaryList()->RowCount(), 0);
    }

    void closingDuringALoadLeavesTheDocumentUnread() {
        const QString path = WriteFile("doc.txt", "001:001 alpha\r\n");
        QTimer::singleShot(0, window_.get(), [this] { window_->close(); });
        Open(path);
        QVERIFY(window_->StopRequested());
        QCOMPARE(window_->State().SourceLength, 0);
        QCOMPARE(window_->SummaryList()->RowCount(), 0);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void failedFirstLoadLeavesProcessingDisabled() {
        Open(folder_.filePath("missing.txt"));
        QCOMPARE(dialogs_->problems.size(), 1);
        QVERIFY(!window_->ProcessFileAction()->isEnabled());
        QCOMPARE(window_->SummaryList()->RowCount(), 0);
    }

    void runFillsTheThreeLists() {
        const QString path = WriteFile("cat.txt", "001:001 The cat ate the apple.\r\n");
        Open(path);
        Process();

        const ReportList* summary = window_->SummaryList();
        QCOMPARE(summary->RowCount(), 6);
        QCOMPARE(Row(summary, 0), (QStringList{"File Loaded", path}));
        QCOMPARE(Row(summary, 1), (QStringList{"File Size", "32 bytes"}));
        QCOMPARE(Row(summary, 2), (QStringList{"Total Word Count", "5"}));
        QCOMPARE(Row(summary, 3), (QStringList{"Unique Word Count", "4"}));
        QCOMPARE(Row(summary, 4), (QStringList{"Substitution Count", "9"}));
        const int time = IndexOf(SummaryRow::TimeToComplete);
        QCOMPARE(summary->Text(time, IndexOf(SummaryColumn::Item)),
                 QStringLiteral("Time To Complete"));
        QVERIFY(summary->Text(time, IndexOf(SummaryColumn::Value))
                    .endsWith(QStringLiteral(" seconds")));

        const ReportList* substitution = window_->SubstitutionList();
        QCOMPARE(substitution->RowCount(), 256);
        QCOMPARE(Row(substitution, 32),
                 (QStringList{"32", " ", Padded("5", 12), "  {space char}"}));
        QCOMPARE(Row(substitution, 84), (QStringList{"84", "T", Padded("1", 12), "t"}));

        QCOMPARE(Rows(window_->UniqueList()),
                 (QList<QStringList>{
                     {"ate", Padded("1", 12), "001:001", Padded("1", 8)},
                     {"apple", Padded("1", 12), "001:001", Padded("2", 8)},
                     {"cat", Padded("1", 12), "001:001", Padded("3", 8)},
                     {"the", Padded("2", 12), "001:001", Padded("4", 8)},
                 }));

        QVERIFY(FileEnabled());
        QVERIFY(window_->ProcessFileAction()->isEnabled());
        QVERIFY(window_->Tabs()->isEnabled());
        QVERIFY(!window_->Progress()->isVisible());
    }

    // Qt switches the C library to the user's locale at start-up; a German
    // user's numbers use a comma for decimals and a full stop for thousands.
    void aCommaLocaleShowsItsOwnSeparatorsInEveryNumber() {
        test::CLibraryLocale cLibrary("de_DE.UTF-8");
        QVERIFY2(test::CLibraryLocale::DecimalPoint() == ",",
                 "the C library has no de_DE.UTF-8 (scripts/install-dependencies installs it)");
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });

        const QString path =
            WriteFile("de.txt", "001:001" + QByteArray(" the").repeated(1234) + "\r\n");
        Open(path);
        Process();
        const QList<QStringList> summary = Rows(window_->SummaryList());
        QCOMPARE(summary.size(), 6);
        QCOMPARE(summary.first(5), (QList<QStringList>{{"File Loaded", path},
                                                       {"File Size", "4.945 bytes"},
                                                       {"Total Word Count", "1.234"},
                                                       {"Unique Word Count", "1"},
                                                       {"Substitution Count", "1.236"}}));
        QCOMPARE(summary[5][0], QStringLiteral("Time To Complete"));
        const QRegularExpression time(QStringLiteral("^[0-9]*,[0-9]{1,8} seconds$"));
        QVERIFY2(time.match(summary[5][1]).hasMatch(), qPrintable(summary[5][1]));
        QCOMPARE(Rows(window_->UniqueList()),
                 (QList<QStringList>{{"the", Padded("1.234", 12), "001:001", Padded("1", 8)}}));
    }

    void runDisablesTheControlsWhileItLasts() {
        Open(WriteFile("long.txt", LongDocument()));
        window_->Tabs()->SetCurrentTab(2);
        bool looked = false;
        bool anyEnabled = true;
        bool barShown = true;
        // The bar as assistive technology reads it: role, minimum, maximum, value.
        QList<qlonglong> barRead;
        QImage barImage;
        QTimer::singleShot(0, window_.get(), [&] {
            looked = true;
            anyEnabled = FileEnabled() || window_->ProcessFileAction()->isEnabled() ||
                         window_->Tabs()->isEnabled();
            barShown = window_->Progress()->isVisible();
            QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window_->Progress());
            QAccessibleValueInterface* value = bar->valueInterface();
            barRead = {bar->role(), value->minimumValue().toLongLong(),
                       value->maximumValue().toLongLong(), value->currentValue().toLongLong()};
            barImage = window_->Progress()->Image();
        });
        Process();
        QVERIFY2(looked, "the run let the user interface in");
        QVERIFY(!anyEnabled);
        QVERIFY2(!barShown, "the bar belongs to the Summary tab");
        // The run lets the user interface in only after it has drawn the bar
        // at a place in the document.
        const qlonglong length = window_->State().SourceLength;
        QCOMPARE(barRead.mid(0, 3), (QList<qlonglong>{QAccessible::ProgressBar, 0, length}));
        QVERIFY2(barRead[3] > 0 && barRead[3] <= length + 1,
                 qPrintable(QString::number(barRead[3])));
        // Drawn in blue up to that place, in the button face after it.
        const QRgb face =
            window_->Progress()->palette().color(QPalette::Active, QPalette::Button).rgb();
        const int middle = barImage.height() / 2;
        int blueEnd = 0;
        while (blueEnd < barImage.width() && barImage.pixel(blueEnd, middle) == qRgb(0, 0, 255)) {
            ++blueEnd;
        }
        for (int x = blueEnd; x < barImage.width(); ++x) {
            QCOMPARE(barImage.pixel(x, middle), face);
        }
        const double placeReached = static_cast<double>(barRead[3]) / static_cast<double>(length);
        QVERIFY2(std::abs(blueEnd - placeReached * barImage.width()) <= 1,
                 qPrintable(QString::number(blueEnd)));
        QCOMPARE(window_->Tabs()->CurrentTab(), 2);
        QVERIFY(FileEnabled() && window_->ProcessFileAction()->isEnabled() &&
                window_->Tabs()->isEnabled());
        QCOMPARE(window_->SummaryList()->RowCount(), 6);
    }

    void closingDuringARunEndsItWithoutResults() {
        Open(WriteFile("long.txt", LongDocument()));
        const QList<QStringList> head = Rows(window_->SummaryList());
        QTimer::singleShot(0, window_.get(), [&] { window_->close(); });
        Process();
        QVERIFY(window_->StopRequested());
        QCOMPARE(Rows(window_->SummaryList()), head);
        QCOMPARE(window_->UniqueList()->RowCount(), 0);
        QVERIFY(!window_->isVisible());
    }

    // A copy over the limit measures every cell, looking at the user
    // interface meanwhile; the close request made then is not lost in the
    // refusal's message box, which is not shown at all.
    void closingDuringALongCopyEndsTheProgram() {
        Open(WriteFile("headings.txt",
                       DistinctWords(4'500, "B" + QByteArray(16'000, 'h') + "\r\n")));
        Process();
        QTimer::singleShot(0, window_.get(), [&] { window_->close(); });
        window_->UniqueList()->CopyAllRows();
        QVERIFY(window_->StopRequested());
        QVERIFY(!window_->isVisible());
        QCOMPARE(dialogs_->problems, QStringList());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    // A run that runs out of memory says so and leaves the lists as they were.
    void aFailedRunShowsAMessageAndChangesNoList() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer reserves more address space than the limit allows");
#endif
        Open(WriteFile("small.txt", "001:001 alpha beta\r\n"));
        Process();
        const QList<QStringList> unique = Rows(window_->UniqueList());
        const QList<QStringList> substitution = Rows(window_->SubstitutionList());

        QByteArray words;
        for (int i = 0; words.size() < 8'000'000; ++i) {
            QByteArray word = "w";
            for (int n = i; n > 0; n /= 26) {
                word += static_cast<char>('a' + n % 26);
            }
            words += "001:001 " + word + "\r\n";
        }
        Open(WriteFile("many.txt", words));
        const QList<QStringList> head = Rows(window_->SummaryList());
        {
            AddressSpaceLimit limit(12 * 1024 * 1024);
            Process();
        }
        QCOMPARE(dialogs_->problems.size(), 1);
        QVERIFY(dialogs_->problems.first().contains(QStringLiteral("memory")));
        QCOMPARE(Rows(window_->UniqueList()), unique);
        QCOMPARE(Rows(window_->SubstitutionList()), substitution);
        QCOMPARE(Rows(window_->SummaryList()), head);
        QVERIFY(!window_->Progress()->isVisible());
        QVERIFY(FileEnabled() && window_->ProcessFileAction()->isEnabled() &&
                window_->Tabs()->isEnabled());
    }

    void runningTwiceGivesTheSameRows() {
        Open(WriteFile("doc.txt",
                       "Book 01 Start\r\n001:001 It's a dog's dog.\r\n001:002 Dogs!\r\n"));
        Process();
        const QList<QStringList> substitution = Rows(window_->SubstitutionList());
        const QList<QStringList> unique = Rows(window_->UniqueList());
        const QStringList total = Row(window_->SummaryList(), 2);
        Process();
        QCOMPARE(Rows(window_->SubstitutionList()), substitution);
        QCOMPARE(Rows(window_->UniqueList()), unique);
        QCOMPARE(Row(window_->SummaryList(), 2), total);
    }

    void aSecondDocumentReplacesOnlyTheHeadRows() {
        Open(WriteFile("one.txt", "001:001 alpha beta\r\n"));
        Process();
        const QList<QStringList> unique = Rows(window_->UniqueList());
        const QString second = WriteFile("two.txt", "001:001 gamma\r\n");
        Open(second);
        QCOMPARE(Rows(window_->SummaryList()),
                 (QList<QStringList>{{"File Loaded", second}, {"File Size", "15 bytes"}}));
        QCOMPARE(Rows(window_->UniqueList()), unique);
    }

    void anEmptyFileAfterADocumentKeepsProcessingAvailable() {
        Open(WriteFile("one.txt", "001:001 alpha beta\r\n"));
        Open(WriteFile("empty.txt", ""));
        QCOMPARE(Row(window_->SummaryList(), 1), (QStringList{"File Size", "0 bytes"}));
        QVERIFY(window_->ProcessFileAction()->isEnabled());
        Process();
        QCOMPARE(Row(window_->SummaryList(), 2), (QStringList{"Total Word Count", "0"}));
        QCOMPARE(window_->UniqueList()->RowCount(), 0);
    }

    void headerClicksSortTheTwoLargerLists() {
        Open(WriteFile("doc.txt", "001:001 b b b a c c\r\n"));
        Process();
        ReportList* unique = window_->UniqueList();
        QCOMPARE(Words(unique), (QStringList{"a", "b", "c"}));
        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::Word));
        QCOMPARE(Words(unique), (QStringList{"a", "b", "c"}));
        QVERIFY(unique->Sorted());
        QCOMPARE(unique->SortOrder(), 0);
        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::Word));
        QCOMPARE(Words(unique), (QStringList{"c", "b", "a"}));
        // Ascending after a descending click.
        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::Count));
        QCOMPARE(Words(unique), (QStringList{"a", "c", "b"}));
        QCOMPARE(unique->SortKey(), IndexOf(UniqueColumn::Count));

        ReportList* substitution = window_->SubstitutionList();
        window_->lvwSubstitution_ColumnClick(ClickIndex(SubstitutionColumn::Ascii));
        QCOMPARE(Row(substitution, 0).first(), QStringLiteral("0"));
        QCOMPARE(Row(substitution, 1).first(), QStringLiteral("1"));
        QCOMPARE(Row(substitution, 2).first(), QStringLiteral("10"));
        QCOMPARE(Row(substitution, 3).first(), QStringLiteral("100"));
        // Each list keeps its own direction.
        QCOMPARE(unique->SortOrder(), 0);
        QCOMPARE(substitution->SortOrder(), 0);
    }

    // A click made while the controls are disabled does nothing, then or later.
    void aRealHeaderClickReachesTheHandler() {
        Open(WriteFile("doc.txt", "001:001 b a\r\n"));
        window_->Tabs()->SetCurrentTab(2);
        ReportList* unique = window_->UniqueList();
        QHeaderView* header = unique->header();
        const int word = IndexOf(UniqueColumn::Word);
        const QPointF onWord(header->sectionViewportPosition(word) + 10, header->height() / 2);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(
                header->viewport(),
                new QMouseEvent(type, onWord, header->viewport()->mapToGlobal(onWord),
                                Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
        }
        Process();
        QCoreApplication::processEvents();
        QVERIFY2(!unique->Sorted(), "a click made during the run sorted the list afterwards");

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(word) + 10, header->height() / 2));
        QVERIFY(unique->Sorted());
        QCOMPARE(unique->SortOrder(), 0);

        window_->Tabs()->SetCurrentTab(0);
        QHeaderView* summaryHeader = window_->SummaryList()->header();
        const QList<QStringList> summary = Rows(window_->SummaryList());
        QTest::mouseClick(summaryHeader->viewport(), Qt::LeftButton, {},
                          QPoint(10, summaryHeader->height() / 2));
        QVERIFY(!window_->SummaryList()->Sorted());
        QCOMPARE(Rows(window_->SummaryList()), summary);
    }

    void headerClicksOnEmptyListsChangeOnlyTheSettings() {
        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::OriginalOrder));
        QVERIFY(window_->UniqueList()->Sorted());
        QCOMPARE(window_->UniqueList()->SortKey(), IndexOf(UniqueColumn::OriginalOrder));
        QCOMPARE(window_->UniqueList()->RowCount(), 0);
    }

    void copyPutsTheWholeTextsOfTheRowsOnTheClipboard() {
        Open(WriteFile("cat.txt", "001:001 The cat ate the apple.\r\n"));
        Process();
        window_->Tabs()->SetCurrentTab(2);
        ReportList* unique = window_->UniqueList();
        const QString captions = "Word\tCount\tFirst Occurs\tOriginal Order\n";
        UseContextMenu(unique, "Copy All");
        QCOMPARE(ClipboardText(), captions +
                                      "ate\t1\t001:001\t1\n"
                                      "apple\t1\t001:001\t2\n"
                                      "cat\t1\t001:001\t3\n"
                                      "the\t2\t001:001\t4\n");

        window_->lvwUnique_ColumnClick(ClickIndex(UniqueColumn::Word));
        unique->setFocus();
        QTest::keyClick(unique, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(unique, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(ClipboardText(), captions +
                                      "apple\t1\t001:001\t2\n"
                                      "ate\t1\t001:001\t1\n"
                                      "cat\t1\t001:001\t3\n"
                                      "the\t2\t001:001\t4\n");

        ClickRow(unique, 3);
        ClickRow(unique, 0, Qt::ControlModifier);
        QTest::keyClick(unique, Qt::Key_C, Qt::ControlModifier);
        const QString partial = captions + "apple\t1\t001:001\t2\nthe\t2\t001:001\t4\n";
        QCOMPARE(ClipboardText(), partial);
        QCOMPARE(UseContextMenu(unique, "Copy"),
                 (QStringList{"Show Occurrences", "Copy", "Copy All", "Sort by Word",
                              "Sort by Count", "Sort by First Occurs", "Sort by Original Order"}));
        QCOMPARE(ClipboardText(), partial);
    }

    void keysSwitchTabsAndTheMenuSortsAsAHeaderClickDoes() {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        TabContainer* tabs = window_->Tabs();
        tabs->TabBar()->setFocus();
        const QImage markedStrip = tabs->TabBar()->grab().toImage();
        struct Step {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int tab;
        };
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        for (const Step& step :
             {Step{Qt::Key_Tab, ctrl, 1}, Step{Qt::Key_Tab, ctrl, 2}, Step{Qt::Key_Tab, ctrl, 0},
              Step{Qt::Key_Backtab, ctrl | Qt::ShiftModifier, 2}, Step{Qt::Key_PageUp, ctrl, 1},
              Step{Qt::Key_PageDown, ctrl, 2}}) {
            QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
            QCOMPARE(tabs->CurrentTab(), step.tab);
        }
        // A list has its own Page Up; with Ctrl it still switches, and the
        // focus moves into the list shown.
        window_->UniqueList()->setFocus();
        QTest::keyClick(window_->UniqueList(), Qt::Key_PageUp, ctrl);
        QCOMPARE(tabs->CurrentTab(), 1);
        QCOMPARE(QApplication::focusWidget(), window_->SubstitutionList());
        tabs->SetCurrentTab(0);
        QVERIFY2(tabs->TabBar()->grab().toImage() != markedStrip, "the focused strip is marked");
        tabs->setEnabled(false);
        QTest::keyClick(window_.get(), Qt::Key_Tab, ctrl);
        QCOMPARE(tabs->CurrentTab(), 0);
        tabs->setEnabled(true);

        Open(WriteFile("doc.txt", "001:001 b b b a c c\r\n"));
        tabs->TabBar()->setFocus();
        Process();
        QCOMPARE(QApplication::focusWidget(), tabs->TabBar());
        QCOMPARE(UseContextMenu(window_->SummaryList()), (QStringList{"Copy", "Copy All"}));
        ReportList* unique = window_->UniqueList();
        UseContextMenu(unique, "Sort by Count");
        QCOMPARE(Rows(unique).size(), 3);
        QCOMPARE(Words(unique), (QStringList{"a", "c", "b"}));
        QCOMPARE(unique->header()->sortIndicatorSection(), IndexOf(UniqueColumn::Count));
        UseContextMenu(unique, "Sort by Count");
        QCOMPARE(Words(unique), (QStringList{"b", "c", "a"}));
        QCOMPARE(unique->SortOrder(), 1);
        ReportList* substitution = window_->SubstitutionList();
        UseContextMenu(substitution, "Sort by Ascii");
        QCOMPARE(substitution->Text(2, IndexOf(SubstitutionColumn::Ascii)), QStringLiteral("10"));
        QCOMPARE(substitution->SortOrder(), 0);
    }

    void exitClosesTheWindow() {
        window_->ExitAction()->trigger();
        QVERIFY(!window_->isVisible());
    }
};

// The program's own Open dialog, as File > Open shows it: its title, folder
// and filters, and what each file type lets through.
class OpenDialogTest : public QObject {
    Q_OBJECT

  private:
    // Long enough for a slow machine, short enough to fail at once.
    static constexpr int kPatienceMs = 10'000;

    // Shows the program's Open dialog, hands it to `look` once it is on the
    // screen, then cancels it. Gives what went wrong, or nothing. A dialog
    // that does not appear in time fails the test then and there: whatever
    // modal windows show instead are closed and named.
    std::optional<QString> WhileTheDialogShows(const std::function<void(QFileDialog&)>& look) {
        bool looked = false;
        QString closed;
        QDeadlineTimer deadline(kPatienceMs);
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!looked && !deadline.hasExpired() && dialog != nullptr && dialog->isVisible()) {
                looked = true;
                poll.stop();
                look(*dialog);
                dialog->reject();
                deadline.setRemainingTime(kPatienceMs);
                poll.start();
            } else if (deadline.hasExpired()) {
                closed += CloseDialogs();
            }
        });
        poll.start(20);
        ModalUserDialogs dialogs;
        const std::optional<QString> chosen = dialogs.ChooseSourceFile(nullptr);
        QString problem;
        if (!looked) {
            problem =
                deadline.hasExpired()
                    ? QStringLiteral("no file dialog appeared within %1 s").arg(kPatienceMs / 1000)
                    : QStringLiteral("the command ended without showing a file dialog");
        }
        problem += closed;
        if (chosen) {
            problem += QStringLiteral("; the cancelled dialog chose \"%1\"").arg(*chosen);
        }
        return problem.isEmpty() ? std::nullopt : std::optional(problem);
    }

    // Closes every dialog on the screen, and says which they were.
    static QString CloseDialogs() {
        QString closed;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (dialog != nullptr && dialog->isVisible()) {
                closed += QStringLiteral("; closed a %1 titled \"%2\"")
                              .arg(dialog->metaObject()->className(), dialog->windowTitle());
                dialog->reject();
            }
        }
        return closed;
    }

    // Chooses an entry of the file type list by the text a user reads there.
    static bool ChooseFileType(QFileDialog& dialog, const QString& shown) {
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        const int index = types != nullptr ? types->findText(shown) : -1;
        if (index < 0) {
            return false;
        }
        types->setCurrentIndex(index);
        emit types->activated(index);
        return true;
    }

    // The names in the dialog's list that a user can see and choose.
    static QStringList ShownNames(const QFileDialog& dialog) {
        QStringList names;
        const auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
        if (list == nullptr) {
            return names;
        }
        const QModelIndex root = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            const QModelIndex index = list->model()->index(row, 0, root);
            if (!list->isRowHidden(row) && (index.flags() & Qt::ItemIsEnabled)) {
                names.append(index.data().toString());
            }
        }
        names.sort();
        return names;
    }

    // The list fills from a thread of its own: the names once they are the
    // expected ones, or those shown when time is up.
    static QStringList SettledNames(const QFileDialog& dialog, const QStringList& expected) {
        QStringList names;
        const bool settled =
            QTest::qWaitFor([&] { return (names = ShownNames(dialog)) == expected; }, kPatienceMs);
        return settled ? expected : names;
    }

  private slots:
    void dialogIsSetUpAsTheProgramAsks() {
        QString title;
        QStringList filters;
        QString selected;
        QString directory;
        const std::optional<QString> problem = WhileTheDialogShows([&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            directory = dialog.directory().absolutePath();
            if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
                for (int i = 0; i < types->count(); ++i) {
                    filters.append(types->itemText(i));
                }
                selected = types->currentText();
            }
        });
        QVERIFY2(!problem, qPrintable(problem.value_or(QString())));
        QCOMPARE(title, QStringLiteral("Load Quorvex Source Document..."));
        QCOMPARE(filters, (QStringList{"Text Files (*.txt)", "All Files (*.*)"}));
        QCOMPARE(selected, QStringLiteral("Text Files (*.txt)"));
        QCOMPARE(directory, QDir(QCoreApplication::applicationDirPath()).absolutePath());
    }

    // "All Files (*.*)" reads like the pattern *.*, but a user expects it to
    // list names without a dot too.
    void allFilesShowsNamesWithoutADot() {
        QTemporaryDir folder;
        QFile(folder.filePath("README")).open(QIODevice::WriteOnly);
        QFile(folder.filePath("notes.txt")).open(QIODevice::WriteOnly);
        const QStringList every{"README", "notes.txt"};
        const QStringList text{"notes.txt"};
        QStringList allFiles;
        QStringList textFiles;
        bool chose = true;
        const std::optional<QString> problem = WhileTheDialogShows([&](QFileDialog& dialog) {
            dialog.setDirectory(folder.path());
            chose = ChooseFileType(dialog, QStringLiteral("All Files (*.*)"));
            allFiles = SettledNames(dialog, every);
            chose = chose && ChooseFileType(dialog, QStringLiteral("Text Files (*.txt)"));
            textFiles = SettledNames(dialog, text);
        });
        QVERIFY2(!problem, qPrintable(problem.value_or(QString())));
        QVERIFY2(chose, "the file type list lacks an entry");
        QCOMPARE(allFiles, every);
        QCOMPARE(textFiles, text);
    }
};

}  // namespace quorvex

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int status = 0;
    {
        quorvex::FrmMainTest window;
        status |= QTest::qExec(&window, argc, argv);
    }
    {
        quorvex::OpenDialogTest dialog;
        status |= QTest::qExec(&dialog, argc, argv);
    }
    return status;
}

#include "frmmain_test.moc"
