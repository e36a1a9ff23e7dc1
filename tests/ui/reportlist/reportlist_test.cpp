#include "ui/reportlist/reportlist.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "analysis/text/numberformat.h"
#include "analysis/analysedocument.h"

using quorvex::ReportColumn;
using quorvex::ReportList;
using quorvex::ReportListModel;
using quorvex::TextTable;

namespace {

QList<ReportColumn> FourColumns() {
    return {{"Word", Qt::AlignLeft},
            {"Count", Qt::AlignHCenter},
            {"First Occurs", Qt::AlignLeft},
            {"Original Order", Qt::AlignRight}};
}

void Append(ReportListModel& model, std::initializer_list<QString> texts) {
    auto text = texts.begin();
    model.AppendRow(*text);
    for (++text; text != texts.end(); ++text) {
        model.AddColumnText(*text);
    }
}

QStringList Column(const ReportListModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts.append(model.Text(row, column));
    }
    return texts;
}

// What the window does on a header click: key from the 1-based index, sorted,
// direction flipped.
void ClickSort(ReportListModel& model, int index) {
    model.SetSortKey(index - 1);
    model.SetSorted(true);
    model.SetSortOrder(model.SortOrder() == 0 ? 1 : 0);
}

QString Padded(std::int64_t count) {
    const std::u16string text = quorvex::FixedWidth(quorvex::FormatGrouped(count, {}), 12);
    return QString::fromStdU16String(text);
}

TextTable TableOfWords(std::initializer_list<std::pair<const char16_t*, const char16_t*>> rows) {
    TextTable table(4);
    for (const auto& [word, count] : rows) {
        table.AppendRow(word);
        table.AddColumnText(count);
    }
    return table;
}

void ClickHeader(ReportList& list, int section) {
    QHeaderView* header = list.header();
    const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

}  // namespace

class ReportListTest : public QObject {
    Q_OBJECT

  private slots:
    void ModelStaysConsistentThroughFillSortReplaceAndRemove();
    void SameColumnTwiceGivesAnOrderThenItsReverse();
    void AnotherColumnFlipsTheSharedDirection();
    void AsciiColumnSortsAsText();
    void PaddedCountsSortByValue();
    void EmptyListAcceptsSettingChanges();
    void AppendedRowsTakeTheirSortedPlace();
    void EqualKeysKeepAppendedOrderInBothDirections();
    void ReplaceRowsWhileSortedShowsSortedRows();
    void CellsAndHeadersCarryTheColumnAlignment();
    void HeaderClickReportsOneBasedColumnWithoutSorting();
    void SortIndicatorFollowsTheSettingsOnly();
    void ColumnWidthsAreDevicePixels();
    void CopyIsRefusedOnlyAboveTheLimitAndCountsUtf8Bytes();
    void ACellTooNarrowForItsTextShowsItInATooltip();
};

void ReportListTest::ModelStaysConsistentThroughFillSortReplaceAndRemove() {
    ReportListModel model(FourColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Append(model, {"pear", Padded(3), "Book 1", "1"});
    Append(model, {"apple", Padded(12), "Book 2", "2"});
    Append(model, {"fig", Padded(7), "Book 3", "3"});
    const QPersistentModelIndex pear = model.index(0, 2);

    ClickSort(model, 2);  // Count descending
    QCOMPARE(Column(model, 0), QStringList({"apple", "fig", "pear"}));
    QCOMPARE(pear.row(), 2);
    QCOMPARE(pear.data().toString(), QString("Book 1"));

    Append(model, {"kiwi", Padded(9), "Book 4", "4"});  // moves when its count arrives
    QCOMPARE(Column(model, 0), QStringList({"apple", "kiwi", "fig", "pear"}));
    QCOMPARE(pear.row(), 3);

    model.ReplaceRows(TableOfWords({{u"b", u"2"}, {u"a", u"1"}}));
    QCOMPARE(Column(model, 0), QStringList({"b", "a"}));
    Append(model, {"c", "3"});
    QCOMPARE(Column(model, 0), QStringList({"c", "b", "a"}));

    // Rows that make their texts when asked, as the analysis gives them; a
    // row appended after them joins them as text.
    auto words = std::make_shared<quorvex::WordStore>();
    quorvex::FirstOccursPlace place;
    for (const char* word : {"pear", "fig", "pear", "apple"}) {
        words->Tally(word, place);
    }
    words->Seal();
    model.ReplaceRows(
        std::make_shared<quorvex::UniqueWordRows>(words, quorvex::NumberSeparators{}));
    QCOMPARE(Column(model, 0), QStringList({"pear", "apple", "fig"}));
    QCOMPARE(Column(model, 1), QStringList({Padded(2), Padded(1), Padded(1)}));
    const QModelIndexList found = model.match(model.index(2, 0), Qt::DisplayRole, "PE", 1,
                                              Qt::MatchStartsWith | Qt::MatchWrap);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().row(), 0);
    Append(model, {"kiwi", Padded(1)});
    QCOMPARE(Column(model, 0), QStringList({"pear", "apple", "fig", "kiwi"}));

    model.RemoveAllRows();
    QCOMPARE(model.rowCount(), 0);
    Append(model, {"d", "4"});
    QCOMPARE(Column(model, 1), QStringList({"4"}));
}

void ReportListTest::SameColumnTwiceGivesAnOrderThenItsReverse() {
    ReportListModel model(FourColumns());
    for (const char* word : {"mole", "ant", "yak", "cat"}) {
        Append(model, {word});
    }
    ClickSort(model, 1);
    QCOMPARE(model.SortOrder(), 1);
    QCOMPARE(Column(model, 0), QStringList({"yak", "mole", "cat", "ant"}));
    ClickSort(model, 1);
    QCOMPARE(model.SortOrder(), 0);
    QCOMPARE(Column(model, 0), QStringList({"ant", "cat", "mole", "yak"}));
}

void ReportListTest::AnotherColumnFlipsTheSharedDirection() {
    ReportListModel model(FourColumns());
    Append(model, {"ant", Padded(30)});
    Append(model, {"bee", Padded(1)});
    Append(model, {"cow", Padded(200)});
    ClickSort(model, 1);
    QCOMPARE(Column(model, 0), QStringList({"cow", "bee", "ant"}));
    ClickSort(model, 2);
    QCOMPARE(model.SortKey(), 1);
    QCOMPARE(Column(model, 0), QStringList({"bee", "ant", "cow"}));
}

void ReportListTest::AsciiColumnSortsAsText() {
    ReportListModel model(FourColumns());
    for (int value = 0; value < 256; ++value) {
        Append(model, {QString::number(value)});
    }
    model.SetSorted(true);
    const QStringList ascending = Column(model, 0);
    QCOMPARE(ascending.mid(0, 15), QStringList({"0", "1", "10", "100", "101", "102", "103", "104",
                                                "105", "106", "107", "108", "109", "11", "110"}));
    QCOMPARE(ascending.last(), QString("99"));
    model.SetSortOrder(1);
    QCOMPARE(Column(model, 0).mid(0, 4), QStringList({"99", "98", "97", "96"}));
    QCOMPARE(Column(model, 0).last(), QString("0"));
}

void ReportListTest::PaddedCountsSortByValue() {
    const std::vector<std::int64_t> counts = {5, 1234567, 40, 999, 1000, 0, 123456789, 10};
    ReportListModel model(FourColumns());
    for (const std::int64_t count : counts) {
        Append(model, {"w", Padded(count)});
    }
    model.SetSortKey(1);
    model.SetSorted(true);
    std::vector<std::int64_t> expected = counts;
    std::sort(expected.begin(), expected.end());
    QStringList expectedTexts;
    for (const std::int64_t count : expected) {
        expectedTexts.append(Padded(count));
    }
    QCOMPARE(Column(model, 1), expectedTexts);
}

void ReportListTest::EmptyListAcceptsSettingChanges() {
    ReportListModel model(FourColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changes(&model, &ReportListModel::SortSettingsChanged);
    ClickSort(model, 4);
    QCOMPARE(model.SortKey(), 3);
    QVERIFY(model.Sorted());
    QCOMPARE(model.SortOrder(), 1);
    QCOMPARE(changes.count(), 3);
    QCOMPARE(model.rowCount(), 0);
}

void ReportListTest::AppendedRowsTakeTheirSortedPlace() {
    ReportListModel model(FourColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.SetSorted(true);
    for (const char* word : {"mole", "ant", "yak", "cat", "zebu", "aardvark"}) {
        Append(model, {word, Padded(static_cast<int>(std::strlen(word)))});
    }
    QCOMPARE(Column(model, 0), QStringList({"aardvark", "ant", "cat", "mole", "yak", "zebu"}));

    model.SetSortKey(1);
    model.SetSortOrder(1);
    Append(model, {"emu", Padded(3)});
    Append(model, {"hippopotamus", Padded(12)});
    QCOMPARE(Column(model, 0),
             QStringList({"hippopotamus", "aardvark", "mole", "zebu", "ant", "yak", "cat", "emu"}));
}

void ReportListTest::EqualKeysKeepAppendedOrderInBothDirections() {
    ReportListModel model(FourColumns());
    Append(model, {"b", "x"});
    Append(model, {"c", "y"});
    Append(model, {"a", "x"});
    Append(model, {"d", "y"});
    // A sort by another column first must not leak into the order of ties.
    model.SetSortKey(0);
    model.SetSortOrder(1);
    model.SetSorted(true);
    model.SetSortKey(1);
    QCOMPARE(Column(model, 0), QStringList({"c", "d", "b", "a"}));
    model.SetSortOrder(0);
    QCOMPARE(Column(model, 0), QStringList({"b", "a", "c", "d"}));
}

void ReportListTest::ReplaceRowsWhileSortedShowsSortedRows() {
    ReportListModel model(FourColumns());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.SetSortKey(1);
    model.SetSortOrder(1);
    model.SetSorted(true);
    model.ReplaceRows(TableOfWords({{u"one", u"  1"}, {u"ten", u" 10"}, {u"two", u"  2"}}));
    QCOMPARE(Column(model, 0), QStringList({"ten", "two", "one"}));
    model.SetSorted(false);
    model.ReplaceRows(TableOfWords({{u"one", u"  1"}, {u"ten", u" 10"}}));
    QCOMPARE(Column(model, 0), QStringList({"one", "ten"}));
}

void ReportListTest::CellsAndHeadersCarryTheColumnAlignment() {
    ReportListModel model(FourColumns());
    Append(model, {"a", "1", "x", "1"});
    const auto alignment = [](const QVariant& value) { return Qt::Alignment(value.toInt()); };
    QCOMPARE(alignment(model.data(model.index(0, 1), Qt::TextAlignmentRole)),
             Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(alignment(model.headerData(3, Qt::Horizontal, Qt::TextAlignmentRole)),
             Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString("First Occurs"));
}

void ReportListTest::HeaderClickReportsOneBasedColumnWithoutSorting() {
    ReportList list(FourColumns());
    list.AppendRow("b");
    list.AppendRow("a");
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy clicks(&list, &ReportList::ColumnClick);
    ClickHeader(list, 2);
    ClickHeader(list, 0);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(clicks.at(0).at(0).toInt(), 3);
    QCOMPARE(clicks.at(1).at(0).toInt(), 1);
    QVERIFY(!list.Sorted());
    QCOMPARE(list.Text(0, 0), QString("b"));
}

void ReportListTest::SortIndicatorFollowsTheSettingsOnly() {
    ReportList list(FourColumns());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QHeaderView* header = list.header();
    QVERIFY(!header->isSortIndicatorShown());

    list.SetSortKey(2);
    list.SetSortOrder(1);
    list.SetSorted(true);
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    ClickHeader(list, 2);  // nobody handles the click: nothing may change
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    connect(&list, &ReportList::ColumnClick, &list,
            [&list](int index) { ClickSort(list.Rows(), index); });
    ClickHeader(list, 1);
    QCOMPARE(header->sortIndicatorSection(), 1);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

    list.SetSorted(false);
    QVERIFY(!header->isSortIndicatorShown());
}

void ReportListTest::ColumnWidthsAreDevicePixels() {
    ReportList list(FourColumns());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const std::vector<int> widths = {100, 100, 300, 100};
    for (int column = 0; column < 4; ++column) {
        list.SetColumnWidthPixels(column, widths[column]);
    }
    for (int column = 0; column < 4; ++column) {
        QCOMPARE(qRound(list.columnWidth(column) * list.devicePixelRatioF()), widths[column]);
    }
}

// Only spaces are taken off the ends of a cell, once tabs and line breaks have
// become spaces. The size decides the refusal before any text is built, so it
// must be the size of the text that would be built, to the byte.
void ReportListTest::CopyIsRefusedOnlyAboveTheLimitAndCountsUtf8Bytes() {
    ReportListModel model(FourColumns());
    Append(model, {QString::fromUtf16(u" caf\u00e9\t"), Padded(7), "\r\n\u20ac 5\n", "1"});
    Append(model, {"skipped", "", "", ""});
    Append(model, {QString::fromUtf16(u"\U0001F600"), "\u00a0", "\v<&>", "3"});
    const quorvex::RowRuns runs = quorvex::MergeRuns({{2, 2}, {0, 0}, {2, 2}});
    QCOMPARE(runs.size(), 2);

    const quorvex::CopiedRows copy = quorvex::CopyRows(model, runs, 1000, {});
    QCOMPARE(copy.outcome, quorvex::CopyOutcome::Copied);
    QCOMPARE(QString::fromUtf8(copy.plain),
             QString::fromUtf16(u"Word\tCount\tFirst Occurs\tOriginal Order\n"
                                u"caf\u00e9\t7\t\u20ac 5\t1\n"
                                u"\U0001F600\t\u00a0\t\v<&>\t3\n"));
    QCOMPARE(copy.plainBytes, copy.plain.size());
    const QString html = QString::fromUtf8(copy.html);
    QVERIFY2(html.contains("<tr><th>Word</th><th>Count</th>") &&
                 html.contains("<td>\v&lt;&amp;&gt;</td><td>3</td></tr>"),
             qPrintable(html));
    QCOMPARE(quorvex::CopyRows(model, runs, copy.plainBytes, {}).outcome,
             quorvex::CopyOutcome::Copied);
    const quorvex::CopiedRows refused = quorvex::CopyRows(model, runs, copy.plainBytes - 1, {});
    QCOMPARE(refused.outcome, quorvex::CopyOutcome::TooLarge);
    QCOMPARE(refused.plainBytes, copy.plainBytes);
    QVERIFY(refused.plain.isEmpty() && refused.html.isEmpty());

    const quorvex::RowRuns touching = quorvex::MergeRuns({{4, 6}, {0, 1}, {2, 3}, {5, 5}});
    QCOMPARE(touching.size(), 1);
    QCOMPARE(touching[0].first, 0);
    QCOMPARE(touching[0].last, 6);
}

void ReportListTest::ACellTooNarrowForItsTextShowsItInATooltip() {
    ReportList list(FourColumns());
    list.AppendRow("ox");
    list.AddColumnText("1");
    list.AddColumnText("a first occurrence far too long for its column");
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.setColumnWidth(2, 60);
    const auto hover = [&list](int column) {
        const QPoint at = list.visualRect(list.model()->index(0, column)).center();
        QHelpEvent event(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
        QApplication::sendEvent(list.viewport(), &event);
    };
    hover(0);
    QVERIFY(!QToolTip::isVisible());
    hover(2);
    QVERIFY(QToolTip::isVisible());
    QVERIFY2(QToolTip::text().contains("a first occurrence far too long for its column"),
             qPrintable(QToolTip::text()));
}

QTEST_MAIN(ReportListTest)
#include "reportlist_test.moc"
