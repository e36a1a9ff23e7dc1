#include "ui/occurrences/dispersionplot.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cstdlib>

#include "analysis/text/codepage.h"
#include "ui/occurrences/occurrencestexts.h"
#include "ui/reportlist/reportlistmodel.h"

namespace quorvex {

namespace {

// Stretches of the document a strip is counted in: finer than any screen is
// wide, and 32 KiB a word.
constexpr std::size_t kBins = 8192;
constexpr int kStripHeight = 30;
constexpr int kStripGap = 6;
constexpr int kMargin = 6;
// How near a pointer must come to a mark to hover over it or click it.
constexpr int kPointerReach = 3;

// A text longer than a list shows is cut as a list cuts it.
constexpr std::size_t kLongestText = ReportListModel::kShownCharacters;

// The first index from `first` to before `end` at which `reached` holds, or
// `end` if there is none, found by halving: `reached` must be false up to
// some index and true from there on, as it is for what ascends in document
// order, such as the occurrences' word numbers and the headings' first words.
template <typename Predicate>
std::size_t FirstIndexWhere(std::size_t first, std::size_t end, Predicate reached) {
    while (first < end) {
        const std::size_t middle = first + (end - first) / 2;
        if (reached(middle)) {
            end = middle;
        } else {
            first = middle + 1;
        }
    }
    return first;
}

QString CutText(std::u16string text) {
    if (text.size() > kLongestText) {
        text.resize(kLongestText);
        text += u'\u2026';
    }
    return QString::fromStdU16String(text);
}

}  // namespace

DispersionPlot::DispersionPlot(std::size_t words, QWidget* parent)
    : QWidget(parent), stripCount_(std::max<std::size_t>(words, 1)) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAccessibleName(occurrencestext::PlotName());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// One pass over the occurrences counts them into the bins and finds each
// word's first and last.
void DispersionPlot::ShowOccurrences(std::shared_ptr<const Occurrences> found,
                                     const QStringList& words, const NumberSeparators& separators) {
    const Occurrences& occurrences = *found;
    // Word numbers stay below 2^31, so a number times the bins fits 64 bits.
    const std::int64_t total = std::max<std::int64_t>(occurrences.TotalWords(), 1);
    const auto binOf = [total](std::int64_t number) {
        return std::min(static_cast<std::size_t>(number * static_cast<std::int64_t>(kBins) / total),
                        kBins - 1);
    };
    separators_ = separators;
    std::vector<Strip> strips(static_cast<std::size_t>(words.size()));
    for (std::size_t word = 0; word < strips.size(); ++word) {
        strips[word].word = words[static_cast<qsizetype>(word)];
        strips[word].label =
            occurrencestext::StripLabel().arg(strips[word].word, Number(occurrences.CountOf(word)));
        strips[word].bins.assign(kBins, 0);
    }
    std::vector<bool> seen(strips.size());
    for (std::size_t at = 0; at < occurrences.size(); ++at) {
        const std::size_t word = occurrences.WordOf(at);
        ++strips[word].bins[binOf(occurrences.NumberOf(at))];
        if (!seen[word]) {
            seen[word] = true;
            strips[word].first = at;
        }
        strips[word].last = at;
    }
    std::vector<std::uint32_t> headingBins(kBins);
    for (std::size_t heading = 1; heading < occurrences.HeadingCount(); ++heading) {
        ++headingBins[binOf(occurrences.FirstWordAfter(heading))];
    }
    found_ = std::move(found);
    strips_ = std::move(strips);
    headingBins_ = std::move(headingBins);
    updateGeometry();
    UpdateAccessibleText();
    update();
}

QString DispersionPlot::Number(std::int64_t value) const {
    return QString::fromStdU16String(FormatGrouped(value, separators_));
}

// A heading as First Occurs shows it, cut where a list cell is cut.
QString DispersionPlot::HeadingText(std::size_t heading) const {
    std::u16string text;
    std::size_t room = kLongestText + 1;
    for (const std::string_view piece : found_->HeadingText(heading)) {
        room -= AppendWindows1252(text, piece, room);
    }
    return CutText(std::move(text));
}

// Where an occurrence lies: its heading and its line reference.
QString DispersionPlot::PlaceText(std::size_t occurrence) const {
    return HeadingText(found_->HeadingOf(occurrence)) +
           QString::fromStdU16String(DecodeWindows1252(found_->LineRef(occurrence)));
}

// Headings are counted without the "no heading" before the first one.
QString DispersionPlot::Summary(std::size_t word) const {
    const Occurrences& found = *found_;
    std::int64_t under = 0;
    for (std::size_t heading = 1; heading < found.HeadingCount(); ++heading) {
        under += found.CountUnder(heading, word) > 0 ? 1 : 0;
    }
    const Strip& strip = strips_[word];
    return occurrencestext::StripSummary().arg(
        strip.word, Number(found.CountOf(word)), Number(under),
        Number(static_cast<std::int64_t>(found.HeadingCount()) - 1), PlaceText(strip.first),
        PlaceText(strip.last));
}

void DispersionPlot::UpdateAccessibleText() {
    QStringList summaries;
    for (std::size_t word = 0; word < strips_.size(); ++word) {
        summaries.append(Summary(word));
    }
    setAccessibleDescription(summaries.join(u'\n'));
}

QSize DispersionPlot::sizeHint() const {
    // Known from the start, so that the window's first layout already gives
    // every strip its room.
    const int strips = static_cast<int>(stripCount_);
    return {600, kMargin + strips * (kStripHeight + kStripGap)};
}

QSize DispersionPlot::minimumSizeHint() const {
    return {200, sizeHint().height()};
}

int DispersionPlot::LabelWidth() const {
    int widest = 0;
    for (const Strip& strip : strips_) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(strip.label));
    }
    return std::min(widest + 2 * kMargin, width() / 3);
}

QRect DispersionPlot::StripArea(std::size_t word) const {
    const int left = LabelWidth();
    return {left, kMargin + static_cast<int>(word) * (kStripHeight + kStripGap),
            std::max(width() - left - kMargin, 1), kStripHeight};
}

std::optional<std::size_t> DispersionPlot::StripAt(QPoint point) const {
    for (std::size_t word = 0; word < strips_.size(); ++word) {
        const QRect area = StripArea(word);
        if (point.y() >= area.top() && point.y() <= area.bottom()) {
            return word;
        }
    }
    return std::nullopt;
}

// The first of the counted words that the pixel column `x` stands for.
std::int64_t DispersionPlot::NumberAt(int x, const QRect& area) const {
    const std::int64_t column = std::clamp(x - area.left(), 0, area.width());
    return column * found_->TotalWords() / area.width();
}

std::pair<std::size_t, std::size_t> DispersionPlot::BinsOfColumn(int column, int width) const {
    const std::size_t first = static_cast<std::size_t>(column) * kBins / width;
    const std::size_t end = static_cast<std::size_t>(column + 1) * kBins / width;
    return {first, std::min(std::max(end, first + 1), kBins)};
}

void DispersionPlot::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (std::size_t word = 0; word < strips_.size(); ++word) {
        DrawStrip(painter, word);
    }
}

// One line per pixel column that holds a mark, all drawn in one call.
void DispersionPlot::DrawStrip(QPainter& painter, std::size_t word) const {
    const QRect area = StripArea(word);
    painter.fillRect(area, palette().base());
    DrawHeadingLines(painter, area);
    painter.setPen(palette().color(QPalette::Text));
    const int labelWidth = area.left() - kMargin;
    painter.drawText(QRect(kMargin / 2, area.top(), labelWidth, area.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(strips_[word].label, Qt::ElideRight, labelWidth));
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawLines(ColumnLines(strips_[word].bins, area.adjusted(0, 2, 0, -2)));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

void DispersionPlot::DrawHeadingLines(QPainter& painter, const QRect& area) const {
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLines(ColumnLines(headingBins_, area));
}

// A line from the top of `area` to its bottom at each pixel column whose
// stretches of the document hold anything in `bins`.
QList<QLine> DispersionPlot::ColumnLines(const std::vector<std::uint32_t>& bins,
                                         const QRect& area) const {
    QList<QLine> lines;
    for (int column = 0; column < area.width(); ++column) {
        const auto [first, end] = BinsOfColumn(column, area.width());
        if (std::any_of(bins.begin() + static_cast<std::ptrdiff_t>(first),
                        bins.begin() + static_cast<std::ptrdiff_t>(end),
                        [](std::uint32_t count) { return count > 0; })) {
            const int x = area.left() + column;
            lines.append(QLine(x, area.top(), x, area.bottom()));
        }
    }
    return lines;
}

// The occurrences lie in document order, which is the order of their places,
// so those near the pointer are found by a binary search.
std::optional<std::size_t> DispersionPlot::OccurrenceAt(QPoint point) const {
    const std::optional<std::size_t> word = StripAt(point);
    if (!word || found_ == nullptr) {
        return std::nullopt;
    }
    const QRect area = StripArea(*word);
    const std::int64_t from = NumberAt(point.x() - kPointerReach, area);
    const std::int64_t to = NumberAt(point.x() + kPointerReach + 1, area);
    const std::int64_t aim = NumberAt(point.x(), area);
    const Occurrences& found = *found_;
    std::optional<std::size_t> nearest;
    std::int64_t nearestDistance = 0;
    for (std::size_t at = FirstIndexWhere(
             0, found.size(), [&](std::size_t at) { return found.NumberOf(at) >= from; });
         at < found.size() && found.NumberOf(at) <= to; ++at) {
        if (found.WordOf(at) != *word) {
            continue;
        }
        const std::int64_t distance = std::abs(found.NumberOf(at) - aim);
        if (!nearest || distance < nearestDistance) {
            nearest = at;
            nearestDistance = distance;
        }
    }
    return nearest;
}

// The heading whose text lines hold the word numbered `number`: the last
// heading line before it, or the "no heading" before the first one.
std::size_t DispersionPlot::HeadingAt(std::int64_t number) const {
    return FirstIndexWhere(
               1, found_->HeadingCount(),
               [&](std::size_t heading) { return found_->FirstWordAfter(heading) > number; }) -
           1;
}

void DispersionPlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<std::size_t> occurrence =
                OccurrenceAt(event->position().toPoint())) {
            emit OccurrenceClicked(*occurrence);
        }
    }
    QWidget::mousePressEvent(event);
}

void DispersionPlot::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(occurrencestext::CopyPictureCommand(), this, &DispersionPlot::CopyPicture);
    menu.exec(event->globalPos());
}

void DispersionPlot::CopyPicture() {
    QGuiApplication::clipboard()->setImage(grab().toImage());
}

bool DispersionPlot::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        ShowTip(static_cast<QHelpEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

// Over a mark, the heading and line reference of its occurrence; elsewhere
// on a strip, those of the first word the pointer's pixel column stands for.
void DispersionPlot::ShowTip(QHelpEvent* event) {
    const std::optional<std::size_t> word = StripAt(event->pos());
    if (!word || found_ == nullptr) {
        QToolTip::hideText();
        event->ignore();
        return;
    }
    QString tip;
    if (const std::optional<std::size_t> occurrence = OccurrenceAt(event->pos())) {
        tip = PlaceText(*occurrence);
    } else {
        const std::int64_t number = NumberAt(event->pos().x(), StripArea(*word));
        tip = HeadingText(HeadingAt(number)) +
              QString::fromStdU16String(DecodeWindows1252(found_->LineRefOfWord(number)));
    }
    if (tip.trimmed().isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return;
    }
    QToolTip::showText(event->globalPos(), tip.trimmed(), this);
}

}  // namespace quorvex
