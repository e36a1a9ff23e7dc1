#include "ui/reportlist/reportlist.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/analysedocument.h"
#include "analysis/text/numberformat.h"

using quorvex::IndexOf;
using quorvex::ReportColumn;
using quorvex::ReportList;
using quorvex::ReportListModel;
using quorvex::TextTable;
// The test's lists have the columns of the Unique Words list.
using Column = quorvex::UniqueWordRows::Column;

namespace {

QList<ReportColumn> FourColumns() {
    return {{"Word", Qt::AlignLeft},
            {"Count", Qt::AlignHCenter},
            {"First Occurs", Qt::AlignLeft},
            {"Original Order", Qt::AlignRight}};
}

// Rows of texts; a row may leave its last columns out.
TextTable Table(std::initializer_list<QStringList> rows) {
    TextTable table(static_cast<int>(FourColumns().size()));
    for (const QStringList& row : rows) {
        table.AppendRow(row.first().toStdU16String());
        for (const QString& text : row.mid(1)) {
            table.AddColumnText(text.toStdU16String());
        }
    }
    return table;
}

TextTable TableOfWords(const QStringList& words) {
    TextTable table(static_cast<int>(FourColumns().size()));
    for (const QString& word : words) {
        table.AppendRow(word.toStdU16String());
    }
    return table;
}

void Show(ReportListModel& model, TextTable rows) {
    model.ReplaceRows(std::make_shared<TextTable>(std::move(rows)));
}

QStringList ColumnTexts(const ReportListModel& model, Column column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        texts.append(model.Text(row, IndexOf(column)));
    }
    return texts;
}

// What the window does on a header click: sorted by that column, the
// direction flipped.
void ClickSort(ReportListModel& model, int key) {
    model.SetSortSettings(key, true, model.SortOrder() == 0 ? 1 : 0);
}

void ClickSort(ReportListModel& model, Column column) {
    ClickSort(model, IndexOf(column));
}

QString Padded(std::int64_t count) {
    const std::u16string text = quorvex::FixedWidth(quorvex::FormatGrouped(count, {}), 12);
    return QString::fromStdU16String(text);
}

void ClickHeader(ReportList& list, Column column) {
    QHeaderView* header = list.header();
    const int section = IndexOf(column);
    const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

}  // namespace

// Every model test runs under Qt's model checker, which fails the test on any
// inconsistent answer or signal of the model.
class ReportListTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<ReportListModel> model_;
    std::unique_ptr<QAbstractItemModelTester> tester_;

  private slots:
    void init();
    void cleanup();

    void ModelStaysConsistentThroughSortAndReplace();
    void SameColumnTwiceGivesAnOrderThenItsReverse();
    void AnotherColumnFlipsTheSharedDirection();
    void AsciiColumnSortsAsText();
    void PaddedCountsSortByValue();
    void EmptyListAcceptsSettingChanges();
    void EqualKeysKeepTheirGivenOrderInBothDirections();
    void ReplaceRowsWhileSortedShowsSortedRows();
    void CellsAndHeadersCarryTheColumnAlignment();
    void HeaderClickReportsOneBasedColumnWithoutSorting();
    void SortIndicatorFollowsTheSettingsOnly();
    void ColumnWidthsAreDevicePixels();
    void CopyIsRefusedOnlyAboveTheLimitAndCountsUtf8Bytes();
    void CopySizeIsTheCopiedTextsSizeForAnySelection();
    void ACellTooNarrowForItsTextShowsItInATooltip();
};

void ReportListTest::init() {
    model_ = std::make_unique<ReportListModel>(FourColumns());
    tester_ = std::make_unique<QAbstractItemModelTester>(
        model_.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void ReportListTest::cleanup() {
    tester_.reset();
    model_.reset();
}

void ReportListTest::ModelStaysConsistentThroughSortAndReplace() {
    ReportListModel& model = *model_;
    Show(model, Table({{"pear", Padded(3), "Book 1", "1"},
                       {"apple", Padded(12), "Book 2", "2"},
                       {"fig", Padded(7), "Book 3", "3"}}));
    const QPersistentModelIndex pear = model.index(0, IndexOf(Column::FirstOccurs));

    ClickSort(model, Column::Count);  // descending
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"apple", "fig", "pear"}));
    QCOMPARE(pear.row(), 2);
    QCOMPARE(pear.data().toString(), QString("Book 1"));

    Show(model, Table({{"b", "2"}, {"a", "1"}, {"c", "3"}}));
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"c", "b", "a"}));

    // Rows that make their texts when asked, as the analysis gives them.
    quorvex::WordIndex index;
    quorvex::FirstOccursPlace place;
    for (const char* word : {"pear", "fig", "pear", "apple"}) {
        index.Tally(word, place);
    }
    auto words = std::make_shared<const quorvex::WordTable>(std::move(index).Seal());
    model.ReplaceRows(
        std::make_shared<quorvex::UniqueWordRows>(words, quorvex::NumberSeparators{}));
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"pear", "apple", "fig"}));
    QCOMPARE(ColumnTexts(model, Column::Count), QStringList({Padded(2), Padded(1), Padded(1)}));
    const QModelIndexList found =
        model.match(model.index(2, IndexOf(Column::Word)), Qt::DisplayRole, "PE", 1,
                    Qt::MatchStartsWith | Qt::MatchWrap);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().row(), 0);

    Show(model, Table({}));
    QCOMPARE(model.rowCount(), 0);
}

void ReportListTest::SameColumnTwiceGivesAnOrderThenItsReverse() {
    ReportListModel& model = *model_;
    Show(model, TableOfWords({"mole", "ant", "yak", "cat"}));
    ClickSort(model, Column::Word);
    QCOMPARE(model.SortOrder(), 1);
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"yak", "mole", "cat", "ant"}));
    ClickSort(model, Column::Word);
    QCOMPARE(model.SortOrder(), 0);
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"ant", "cat", "mole", "yak"}));
}

void ReportListTest::AnotherColumnFlipsTheSharedDirection() {
    ReportListModel& model = *model_;
    Show(model, Table({{"ant", Padded(30)}, {"bee", Padded(1)}, {"cow", Padded(200)}}));
    ClickSort(model, Column::Word);
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"cow", "bee", "ant"}));
    ClickSort(model, Column::Count);
    QCOMPARE(model.SortKey(), IndexOf(Column::Count));
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"bee", "ant", "cow"}));
}

void ReportListTest::AsciiColumnSortsAsText() {
    ReportListModel& model = *model_;
    QStringList values;
    for (int value = 0; value < 256; ++value) {
        values.append(QString::number(value));
    }
    Show(model, TableOfWords(values));
    model.SetSortSettings(0, true, 0);
    const QStringList ascending = ColumnTexts(model, Column::Word);
    QCOMPARE(ascending.mid(0, 15), QStringList({"0", "1", "10", "100", "101", "102", "103", "104",
                                                "105", "106", "107", "108", "109", "11", "110"}));
    QCOMPARE(ascending.last(), QString("99"));
    model.SetSortSettings(0, true, 1);
    QCOMPARE(ColumnTexts(model, Column::Word).mid(0, 4), QStringList({"99", "98", "97", "96"}));
    QCOMPARE(ColumnTexts(model, Column::Word).last(), QString("0"));
}

void ReportListTest::PaddedCountsSortByValue() {
    const std::vector<std::int64_t> counts = {5, 1234567, 40, 999, 1000, 0, 123456789, 10};
    TextTable table(static_cast<int>(FourColumns().size()));
    for (const std::int64_t count : counts) {
        table.AppendRow(u"w");
        table.AddColumnText(Padded(count).toStdU16String());
    }
    ReportListModel& model = *model_;
    Show(model, std::move(table));
    model.SetSortSettings(IndexOf(Column::Count), true, 0);
    std::vector<std::int64_t> expected = counts;
    std::sort(expected.begin(), expected.end());
    QStringList expectedTexts;
    for (const std::int64_t count : expected) {
        expectedTexts.append(Padded(count));
    }
    QCOMPARE(ColumnTexts(model, Column::Count), expectedTexts);
}

void ReportListTest::EmptyListAcceptsSettingChanges() {
    ReportListModel& model = *model_;
    QSignalSpy changes(&model, &ReportListModel::SortSettingsChanged);
    ClickSort(model, Column::OriginalOrder);
    QCOMPARE(model.SortKey(), IndexOf(Column::OriginalOrder));
    QVERIFY(model.Sorted());
    QCOMPARE(model.SortOrder(), 1);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(model.rowCount(), 0);
}

void ReportListTest::EqualKeysKeepTheirGivenOrderInBothDirections() {
    ReportListModel& model = *model_;
    Show(model, Table({{"b", "x"}, {"c", "y"}, {"a", "x"}, {"d", "y"}}));
    // A sort by another column first must not leak into the order of ties.
    model.SetSortSettings(IndexOf(Column::Word), true, 1);
    model.SetSortSettings(IndexOf(Column::Count), true, 1);
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"c", "d", "b", "a"}));
    model.SetSortSettings(IndexOf(Column::Count), true, 0);
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"b", "a", "c", "d"}));
}

void ReportListTest::ReplaceRowsWhileSortedShowsSortedRows() {
    ReportListModel& model = *model_;
    model.SetSortSettings(IndexOf(Column::Count), true, 1);
    Show(model, Table({{"one", "  1"}, {"ten", " 10"}, {"two", "  2"}}));
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"ten", "two", "one"}));
    model.SetSortSettings(IndexOf(Column::Count), false, 1);
    Show(model, Table({{"one", "  1"}, {"ten", " 10"}}));
    QCOMPARE(ColumnTexts(model, Column::Word), QStringList({"one", "ten"}));
}

void ReportListTest::CellsAndHeadersCarryTheColumnAlignment() {
    ReportListModel& model = *model_;
    Show(model, Table({{"a", "1", "x", "1"}}));
    const auto alignment = [](const QVariant& value) { return Qt::Alignment(value.toInt()); };
    QCOMPARE(alignment(model.data(model.index(0, IndexOf(Column::Count)), Qt::TextAlignmentRole)),
             Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(alignment(model.headerData(IndexOf(Column::OriginalOrder), Qt::Horizontal,
                                        Qt::TextAlignmentRole)),
             Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(model.headerData(IndexOf(Column::FirstOccurs), Qt::Horizontal).toString(),
             QString("First Occurs"));
}

void ReportListTest::HeaderClickReportsOneBasedColumnWithoutSorting() {
    ReportList list(FourColumns());
    list.ReplaceRows(TableOfWords({"b", "a"}));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy clicks(&list, &ReportList::ColumnClick);
    ClickHeader(list, Column::FirstOccurs);
    ClickHeader(list, Column::Word);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(clicks.at(0).at(0).toInt(), IndexOf(Column::FirstOccurs) + 1);
    QCOMPARE(clicks.at(1).at(0).toInt(), IndexOf(Column::Word) + 1);
    QVERIFY(!list.Sorted());
    QCOMPARE(list.Text(0, IndexOf(Column::Word)), QString("b"));
}

void ReportListTest::SortIndicatorFollowsTheSettingsOnly() {
    ReportList list(FourColumns());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QHeaderView* header = list.header();
    QVERIFY(!header->isSortIndicatorShown());

    list.SetSortSettings(IndexOf(Column::FirstOccurs), true, 1);
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), IndexOf(Column::FirstOccurs));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    ClickHeader(list, Column::FirstOccurs);  // nobody handles the click: nothing may change
    QCOMPARE(header->sortIndicatorSection(), IndexOf(Column::FirstOccurs));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    connect(&list, &ReportList::ColumnClick, &list,
            [&list](int index) { ClickSort(list.Rows(), index - 1); });
    ClickHeader(list, Column::Count);
    QCOMPARE(header->sortIndicatorSection(), IndexOf(Column::Count));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

    list.SetSortSettings(list.SortKey(), false, list.SortOrder());
    QVERIFY(!header->isSortIndicatorShown());
}

void ReportListTest::ColumnWidthsAreDevicePixels() {
    ReportList list(FourColumns());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    const std::vector<int> widths = {100, 100, 300, 100};
    for (int column = 0; column < list.model()->columnCount(); ++column) {
        list.SetColumnWidthPixels(column, widths[column]);
    }
    for (int column = 0; column < list.model()->columnCount(); ++column) {
        QCOMPARE(qRound(list.columnWidth(column) * list.devicePixelRatioF()), widths[column]);
    }
}

// Only spaces are taken off the ends of a cell, once tabs and line breaks have
// become spaces. The size decides the refusal before any text is built, so it
// must be the size of the text that would be built, to the byte.
void ReportListTest::CopyIsRefusedOnlyAboveTheLimitAndCountsUtf8Bytes() {
    ReportListModel& model = *model_;
    Show(model, Table({{QString::fromUtf16(u" caf\u00e9\t"), Padded(7), "\r\n\u20ac 5\n", "1"},
                       {"skipped", "", "", ""},
                       {QString::fromUtf16(u"\U0001F600"), "\u00a0", "\v<&>", "3"}}));
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

// The rows tell the size of a copy without making its texts; a sorted list
// is sized in the rows' own order. Headings with code page 1252's high bytes
// and blank ends, line references that begin with a tab, and counts grouped
// by a three-byte separator.
void ReportListTest::CopySizeIsTheCopiedTextsSizeForAnySelection() {
    std::string document;
    for (int line = 0; line < 400; ++line) {
        document += line % 50 == 0 ? "Book \x80\xe9 " + std::to_string(line) + "\t \r\n" : "";
        document += (line % 3 == 0 ? "\t01:" : "001:") + std::to_string(100 + line) + " common w";
        document += {char('a' + line % 26), char('a' + line / 26), '\r', '\n'};
    }
    quorvex::AnalysisState state;
    state.SourceBytes = quorvex::DocumentBytes::SharedCopy(document.begin(), document.end());
    state.SourceLength = static_cast<std::int64_t>(document.size());
    quorvex::SilentHooks hooks;
    ReportListModel& model = *model_;
    model.ReplaceRows(std::make_shared<quorvex::UniqueWordRows>(
        quorvex::AnalyseDocument(state, hooks, {u"\u202F", u","})->unique));
    ClickSort(model, Column::FirstOccurs);
    std::mt19937 random(7);
    for (int copy = 0; copy < 20; ++copy) {
        // The whole list first, then ever more stretches of rows.
        quorvex::RowRuns runs;
        for (int run = 0; run < copy; ++run) {
            const int first = static_cast<int>(random() % model.rowCount());
            runs.append({first, first + static_cast<int>(random() % (model.rowCount() - first))});
        }
        runs = runs.isEmpty() ? quorvex::RowRuns{{0, model.rowCount() - 1}} : runs;
        const quorvex::CopiedRows copied =
            quorvex::CopyRows(model, quorvex::MergeRuns(runs), 1 << 20, {});
        QCOMPARE(copied.outcome, quorvex::CopyOutcome::Copied);
        QCOMPARE(copied.plainBytes, copied.plain.size());
    }
}

void ReportListTest::ACellTooNarrowForItsTextShowsItInATooltip() {
    ReportList list(FourColumns());
    list.ReplaceRows(Table({{"ox", "1", "a first occurrence far too long for its column"}}));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.setColumnWidth(IndexOf(Column::FirstOccurs), 60);
    const auto hover = [&list](Column column) {
        const QPoint at = list.visualRect(list.model()->index(0, IndexOf(column))).center();
        QHelpEvent event(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
        QApplication::sendEvent(list.viewport(), &event);
    };
    hover(Column::Word);
    QVERIFY(!QToolTip::isVisible());
    hover(Column::FirstOccurs);
    QVERIFY(QToolTip::isVisible());
    QVERIFY2(QToolTip::text().contains("a first occurrence far too long for its column"),
             qPrintable(QToolTip::text()));
}

QTEST_MAIN(ReportListTest)
#include "reportlist_test.moc"
