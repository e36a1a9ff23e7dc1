#pragma once

#include <QStringList>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/occurrences/occurrences.h"
#include "analysis/text/numberformat.h"

class QHelpEvent;

namespace quorvex {

// The dispersion plot: one strip per searched word, labelled with the word
// and its count; left to right the document's counted words from first to
// last, a mark at each occurrence and a thin line where each heading starts.
//
// The occurrences are counted once into a fixed number of bins along the
// document, and a strip is drawn a pixel column at a time from them, so a
// word of a hundred million occurrences costs no more to draw than one of
// ten, and a resize does not look at the occurrences again.
//
// Hovering names the heading and line reference under the pointer, those of
// the nearest mark's occurrence over one; a click on a mark reports that occurrence; the context
// menu copies the picture. A screen reader reads a summary sentence per word.
class DispersionPlot : public QWidget {
    Q_OBJECT

  public:
    // One strip for each of `words` words, laid out before they are found.
    explicit DispersionPlot(std::size_t words, QWidget* parent = nullptr);

    // `words` are the searched words as the window shows them, in order.
    void ShowOccurrences(std::shared_ptr<const Occurrences> found, const QStringList& words,
                         const NumberSeparators& separators);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    void OccurrenceClicked(std::size_t occurrence);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

  private:
    struct Strip {
        QString word;
        QString label;
        std::vector<std::uint32_t> bins;  // occurrences in each stretch of the document
        std::size_t first = 0;            // its first and last occurrence
        std::size_t last = 0;
    };

    QRect StripArea(std::size_t word) const;
    int LabelWidth() const;
    std::optional<std::size_t> StripAt(QPoint point) const;
    std::int64_t NumberAt(int x, const QRect& area) const;
    std::optional<std::size_t> OccurrenceAt(QPoint point) const;
    QString Summary(std::size_t word) const;
    QString PlaceText(std::size_t occurrence) const;
    QString HeadingText(std::size_t heading) const;
    QString Number(std::int64_t value) const;
    std::size_t HeadingAt(std::int64_t number) const;
    std::pair<std::size_t, std::size_t> BinsOfColumn(int column, int width) const;
    void DrawStrip(QPainter& painter, std::size_t word) const;
    void DrawHeadingLines(QPainter& painter, const QRect& area) const;
    QList<QLine> ColumnLines(const std::vector<std::uint32_t>& bins, const QRect& area) const;
    void ShowTip(QHelpEvent* event);
    void CopyPicture();
    void UpdateAccessibleText();

    std::shared_ptr<const Occurrences> found_;
    std::size_t stripCount_;
    std::vector<Strip> strips_;
    std::vector<std::uint32_t> headingBins_;  // headings starting in each stretch
    NumberSeparators separators_;
};

}  // namespace quorvex
