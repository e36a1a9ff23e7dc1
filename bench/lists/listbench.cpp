// Fills a ReportList and a QTreeWidget with the same half a million rows, then
// sorts each by its "Count" column, and prints the time and memory of both;
// then copies all rows of the ReportList to the clipboard.
//
// With --rows N it measures the Unique Words list the analysis makes of a
// document of about N distinct random words instead: filling it, sorting it
// by every column both ways, the memory each sort adds, and copying all its
// rows as given and sorted by Word, which for about 2.6 million rows or more
// is refused.
// --shared N makes every word begin with the same N letters, followed by six
// to nine random ones, or with --letters L as many as make L letters.
// --cut N ends the document with the first N of those letters alone, as a
// generated document cut to its size may end in part of a word; --part N
// with a word that has the first N of them and then another letter.
// --words-out FILE writes the words one per line, for comparison with sort(1).

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTreeWidget>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "analysis/analysedocument.h"
#include "analysis/rows/texttable.h"
#include "analysis/scan/documentscan.h"
#include "analysis/text/numberformat.h"
#include "ui/reportlist/reportlist.h"
#include "ui/reportlist/rowcopy.h"

namespace {

constexpr int kLetters = 26;
constexpr int kWordsPerLetter = 20000;
constexpr int kColumns = quorvex::UniqueWordRows::kColumnCount;
constexpr int kWordColumn = quorvex::IndexOf(quorvex::UniqueWordRows::Column::Word);
constexpr int kCountColumn = quorvex::IndexOf(quorvex::UniqueWordRows::Column::Count);

using Row = std::array<std::u16string, kColumns>;

std::u16string Widen(const std::string& text) {
    return {text.begin(), text.end()};
}

std::u16string MadeUpWord(char16_t first, std::mt19937& random) {
    std::uniform_int_distribution<int> length(2, 11);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::u16string word(1, first);
    for (int i = length(random); i > 0; --i) {
        word.push_back(static_cast<char16_t>(letter(random)));
    }
    return word;
}

// Mostly small counts with a long tail, as words in a document have.
std::int64_t RandomCount(std::mt19937& random) {
    std::uniform_int_distribution<int> digits(0, 8);
    std::int64_t limit = 1;
    for (int i = digits(random); i > 0; --i) {
        limit *= 10;
    }
    return std::uniform_int_distribution<std::int64_t>(1, limit)(random);
}

std::u16string RandomFirstOccurs(std::mt19937& random) {
    static const std::array<const char*, 6> kTitles = {"Something", "Meridian",   "Tollan",
                                                       "Quessa",    "Harrowgate", "Ebb"};
    std::uniform_int_distribution<int> book(1, 66);
    std::uniform_int_distribution<int> title(0, kTitles.size() - 1);
    std::uniform_int_distribution<int> chapter(1, 150);
    std::uniform_int_distribution<int> verse(1, 176);
    char text[64];
    std::snprintf(text, sizeof text, "Book %d %s  %03d:%03d", book(random), kTitles[title(random)],
                  chapter(random), verse(random));
    return Widen(text);
}

std::vector<Row> GenerateRows() {
    std::mt19937 random(20240607);
    std::vector<Row> rows;
    rows.reserve(kLetters * kWordsPerLetter);
    for (char16_t letter = u'a'; letter < u'a' + kLetters; ++letter) {
        for (int slot = 0; slot < kWordsPerLetter; ++slot) {
            const auto order = static_cast<std::int64_t>(rows.size() + 1);
            rows.push_back(
                {MadeUpWord(letter, random),
                 quorvex::FixedWidth(quorvex::FormatGrouped(RandomCount(random), {}), 12),
                 RandomFirstOccurs(random), quorvex::FixedWidth(quorvex::FormatDigits(order), 8)});
        }
    }
    return rows;
}

double ResidentMiB() {
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long totalPages = 0;
    long residentPages = 0;
    statm >> totalPages >> residentPages;
    return static_cast<double>(residentPages) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

// On a busy machine the wall time of a step is longer than the time the
// processor spent on it.
double ThreadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Times a step together with the layout and painting it leaves pending.
template <typename Step>
double MillisecondsOf(Step step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    QCoreApplication::processEvents();
    return MillisecondsSince(start);
}

struct Figures {
    double fillMs = 0;
    double tableBuildMs = 0;  // the part of fillMs spent building the TextTable
    double sortMs = 0;
    double memoryMiB = 0;
    double copyAllMs = 0;
    double copyMiB = 0;  // what the clipboard holds afterwards
    qsizetype copiedTextBytes = 0;
    qsizetype copiedHtmlBytes = 0;
};

void ShowEmpty(QWidget& list) {
    list.resize(625, 417);
    list.show();
    QCoreApplication::processEvents();
}

QString ToQString(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

// The columns of the Unique Words list, in the order of its rows' columns.
QList<quorvex::ReportColumn> UniqueWordColumns() {
    return {{"Word", Qt::AlignLeft},
            {"Count", Qt::AlignHCenter},
            {"First Occurs", Qt::AlignLeft},
            {"Original Order", Qt::AlignLeft}};
}

Figures MeasureReportList(const std::vector<Row>& rows) {
    Figures figures;
    const double before = ResidentMiB();
    quorvex::ReportList list(UniqueWordColumns());
    ShowEmpty(list);
    figures.fillMs = MillisecondsOf([&] {
        const auto start = std::chrono::steady_clock::now();
        // Sized up front, as the analysis sizes the lists it builds.
        quorvex::TextTable table(kColumns);
        std::size_t chars = 0;
        for (const Row& row : rows) {
            for (const std::u16string& text : row) {
                chars += text.size();
            }
        }
        table.Reserve(rows.size(), chars);
        for (const Row& row : rows) {
            table.AppendRow(row[0]);
            for (int column = 1; column < kColumns; ++column) {
                table.AddColumnText(row[column]);
            }
        }
        figures.tableBuildMs = MillisecondsSince(start);
        list.ReplaceRows(std::move(table));
    });
    figures.memoryMiB = ResidentMiB() - before;
    figures.sortMs = MillisecondsOf([&] { list.SetSortSettings(kCountColumn, true, 0); });
    const double beforeCopy = ResidentMiB();
    figures.copyAllMs = MillisecondsOf([&] { list.CopyAllRows(); });
    figures.copyMiB = ResidentMiB() - beforeCopy;
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    figures.copiedTextBytes = copied->data(QStringLiteral("text/plain")).size();
    figures.copiedHtmlBytes = copied->data(QStringLiteral("text/html")).size();
    QGuiApplication::clipboard()->clear();
    return figures;
}

Figures MeasureTreeWidget(const std::vector<Row>& rows) {
    Figures figures;
    const double before = ResidentMiB();
    QTreeWidget tree;
    tree.setColumnCount(kColumns);
    tree.setHeaderLabels({"Word", "Count", "First Occurs", "Original Order"});
    tree.setUniformRowHeights(true);
    tree.setRootIsDecorated(false);
    ShowEmpty(tree);
    figures.fillMs = MillisecondsOf([&] {
        QList<QTreeWidgetItem*> items;
        items.reserve(static_cast<qsizetype>(rows.size()));
        for (const Row& row : rows) {
            auto* item = new QTreeWidgetItem;
            for (int column = 0; column < kColumns; ++column) {
                item->setText(column, ToQString(row[column]));
            }
            items.append(item);
        }
        tree.addTopLevelItems(items);
    });
    figures.memoryMiB = ResidentMiB() - before;
    figures.sortMs = MillisecondsOf([&] { tree.sortItems(kCountColumn, Qt::AscendingOrder); });
    return figures;
}

void PrintComparison(const char* what, const char* unit, double ours, double theirs,
                     const char* target, bool met) {
    std::printf(
        "%-7s ReportList %9.1f %s   QTreeWidget %9.1f %s   QTreeWidget/ReportList %5.2f"
        "   target %s: %s\n",
        what, ours, unit, theirs, unit, theirs / ours, target, met ? "met" : "MISSED");
}

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stol(line.substr(std::strlen(field)));
        }
    }
    return 0;
}

// The peak resident memory from here on, as the kernel counts it.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// How the words of the list are made: `shared` letters every word begins
// with, then random ones, six to nine of them, or as many as make `letters`;
// `cut` of the shared letters alone last, unless 0, and a word that parts
// from them after `part`, unless 0.
struct WordShape {
    std::size_t shared = 0;
    std::size_t letters = 0;
    std::size_t cut = 0;
    std::size_t part = 0;
};

// Lines of random words, as many as `words`.
std::string RandomWordDocument(std::size_t words, WordShape shape) {
    std::mt19937_64 random(20261207);
    const std::string prefix(shape.shared, 'q');
    std::string document;
    document.reserve(words * (shape.shared + shape.letters + 10));
    for (std::size_t i = 0; i < words; ++i) {
        document += i % 8 == 0 ? "\r\n001:001" : "";
        document += ' ';
        document += prefix;
        const std::size_t randomLetters =
            shape.letters > shape.shared ? shape.letters - shape.shared : 6 + random() % 4;
        for (std::size_t letters = randomLetters; letters > 0; --letters) {
            document += static_cast<char>('a' + random() % 26);
        }
    }
    if (shape.cut > 0) {
        document += ' ' + prefix.substr(0, shape.cut);
    }
    if (shape.part > 0) {
        document += ' ' + prefix.substr(0, shape.part) + 'a';
    }
    document += "\r\n";
    return document;
}

void MeasureSort(quorvex::ReportList& list, int column, int order) {
    const long before = StatusKiB("VmRSS:");
    ResetPeakMemory();
    const double ms = MillisecondsOf([&] { list.SetSortSettings(column, true, order); });
    const long peak = StatusKiB("VmHWM:");
    std::printf(
        "sort by %-14s %-10s %9.1f ms   memory in use %8.1f MiB, the sort added at most %6.1f "
        "MiB (%4.1f %%)\n",
        qPrintable(UniqueWordColumns()[column].caption), order == 0 ? "ascending" : "descending",
        ms, before / 1024.0, (peak - before) / 1024.0,
        100.0 * static_cast<double>(peak - before) / static_cast<double>(before));
}

// A copy of more than the limit is refused once sized, without its text
// being made; the time is that of sizing it.
void MeasureCopyAll(quorvex::ReportList& list, const char* order) {
    quorvex::CopiedRows copy;
    const double cpuBefore = ThreadCpuMilliseconds();
    const double ms = MillisecondsOf([&] {
        copy = quorvex::CopyRows(list.Rows(), {{0, list.RowCount() - 1}}, quorvex::kMostCopiedBytes,
                                 [] { return true; });
    });
    std::printf(
        "copy all %-8s %9.1f ms (%.1f ms on the processor)   %s, %lld bytes of text, the limit "
        "%lld\n",
        order, ms, ThreadCpuMilliseconds() - cpuBefore,
        copy.outcome == quorvex::CopyOutcome::Copied ? "copied" : "refused",
        static_cast<long long>(copy.plainBytes), static_cast<long long>(quorvex::kMostCopiedBytes));
}

int MeasureUniqueWords(std::size_t wanted, WordShape shape, const char* wordsOut) {
    quorvex::AnalysisState state;
    const std::string document = RandomWordDocument(wanted, shape);
    state.SourceBytes = quorvex::DocumentBytes::SharedCopy(document.begin(), document.end());
    state.SourceLength = static_cast<std::int64_t>(document.size());
    quorvex::SilentHooks hooks;
    std::optional<quorvex::ResultLists> lists =
        quorvex::AnalyseDocument(state, hooks, quorvex::NumberSeparators{});
    auto rows = std::make_shared<quorvex::UniqueWordRows>(std::move(lists->unique));
    lists.reset();
    std::printf("rows: %zu distinct words of %zu, sharing their first %zu letters, platform: %s\n",
                rows->RowCount(), wanted, shape.shared,
                qPrintable(QGuiApplication::platformName()));
    if (wordsOut != nullptr) {
        std::FILE* out = std::fopen(wordsOut, "wb");
        for (std::size_t row = 0; out != nullptr && row < rows->RowCount(); ++row) {
            const std::u16string word = rows->Cell(row, kWordColumn);
            const std::string line = std::string(word.begin(), word.end()) + "\n";
            std::fwrite(line.data(), 1, line.size(), out);
        }
        if (out == nullptr || std::fclose(out) != 0) {
            std::fprintf(stderr, "quorvex-listbench: cannot write %s\n", wordsOut);
            return 1;
        }
    }
    quorvex::ReportList list(UniqueWordColumns());
    ShowEmpty(list);
    const double fillMs = MillisecondsOf([&] { list.ReplaceRows(rows); });
    std::printf("fill          %9.1f ms\n", fillMs);
    MeasureCopyAll(list, "as given");
    for (int column = 0; column < kColumns; ++column) {
        MeasureSort(list, column, 0);
        MeasureSort(list, column, 1);
    }
    MeasureSort(list, kWordColumn, 0);
    MeasureCopyAll(list, "by Word");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const qsizetype rowsAt = args.indexOf(QStringLiteral("--rows"));
    if (rowsAt > 0 && rowsAt + 1 < args.size()) {
        const qsizetype outAt = args.indexOf(QStringLiteral("--words-out"));
        const QByteArray wordsOut =
            outAt > 0 && outAt + 1 < args.size() ? args[outAt + 1].toLocal8Bit() : QByteArray();
        const auto number = [&args](const char* option) {
            const qsizetype at = args.indexOf(QLatin1String(option));
            return at > 0 && at + 1 < args.size() ? args[at + 1].toULongLong() : 0ull;
        };
        return MeasureUniqueWords(
            args[rowsAt + 1].toULongLong(),
            {number("--shared"), number("--letters"), number("--cut"), number("--part")},
            wordsOut.isEmpty() ? nullptr : wordsOut.constData());
    }
    const std::vector<Row> rows = GenerateRows();
    std::printf("rows: %zu, columns: %d, platform: %s\n", rows.size(), kColumns,
                qPrintable(QGuiApplication::platformName()));
    // Ours first: memory the first phase frees may serve the second, which can
    // only make the second list look smaller.
    const Figures ours = MeasureReportList(rows);
    const Figures theirs = MeasureTreeWidget(rows);
    PrintComparison("fill", "ms ", ours.fillMs, theirs.fillMs, ">= 5",
                    theirs.fillMs >= 5 * ours.fillMs);
    std::printf("        of which building the TextTable %.1f ms\n", ours.tableBuildMs);
    PrintComparison("sort", "ms ", ours.sortMs, theirs.sortMs, ">= 5",
                    theirs.sortMs >= 5 * ours.sortMs);
    PrintComparison("memory", "MiB", ours.memoryMiB, theirs.memoryMiB, ">= 3",
                    theirs.memoryMiB >= 3 * ours.memoryMiB);
    std::printf("copy all: ReportList %.1f ms, text %lld bytes, HTML %lld bytes, %.1f MiB held\n",
                ours.copyAllMs, static_cast<long long>(ours.copiedTextBytes),
                static_cast<long long>(ours.copiedHtmlBytes), ours.copyMiB);
    return 0;
}
