#include "ui/tabcontainer.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace quorvex {

namespace {

// Captions sized to their text with a small margin, so that the three of
// them leave room in the strip for the progress bar beside them. The style's
// own label would add its wider padding and cut the text, so the captions
// are drawn here, centred, over the style's tab shapes.
class CompactTabBar : public QTabBar {
  public:
    using QTabBar::QTabBar;

  protected:
    QSize tabSizeHint(int index) const override {
        constexpr int kTextMargin = 7;
        const int textWidth = fontMetrics().horizontalAdvance(tabText(index));
        return {textWidth + 2 * kTextMargin, QTabBar::tabSizeHint(index).height()};
    }

    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        for (int index = 0; index < count(); ++index) {
            QStyleOptionTab tab;
            initStyleOption(&tab, index);
            painter.drawControl(QStyle::CE_TabBarTabShape, tab);
            const QPalette::ColorRole role =
                index == currentIndex() ? QPalette::WindowText : QPalette::ButtonText;
            painter.drawItemText(tab.rect, Qt::AlignCenter, tab.palette,
                                 tab.state & QStyle::State_Enabled, tab.text, role);
        }
    }
};

}  // namespace

TabContainer::TabContainer(QWidget* parent) : QWidget(parent), tabBar_(new CompactTabBar(this)) {
    tabBar_->setDrawBase(false);
    tabBar_->setExpanding(false);
    connect(tabBar_, &QTabBar::currentChanged, this, &TabContainer::ShowCurrentPage);
}

QWidget* TabContainer::AddTab(const QString& caption) {
    auto* page = new QWidget(this);
    page->setAccessibleName(caption);
    pages_.append(page);
    tabBar_->addTab(caption);
    PlaceChildren();
    ShowCurrentPage();
    return page;
}

int TabContainer::CurrentTab() const {
    return tabBar_->currentIndex();
}

void TabContainer::SetCurrentTab(int index) {
    tabBar_->setCurrentIndex(index);
}

void TabContainer::ShowCurrentPage() {
    for (int i = 0; i < pages_.size(); ++i) {
        pages_[i]->setVisible(i == tabBar_->currentIndex());
    }
}

// The pages lie under the strip of captions; the caption bar is only as wide
// as its captions, so a control beside them in the strip stays visible.
void TabContainer::PlaceChildren() {
    for (QWidget* page : pages_) {
        page->setGeometry(rect());
    }
    tabBar_->setGeometry(0, 0, tabBar_->sizeHint().width(), tabBar_->sizeHint().height());
    tabBar_->raise();
}

void TabContainer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceChildren();
}

void TabContainer::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        PlaceChildren();
    }
}

void TabContainer::paintEvent(QPaintEvent*) {
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    frame.rect = rect().adjusted(0, tabBar_->height() - overlap, 0, 0);
    frame.tabBarSize = tabBar_->size();
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarRect = tabBar_->geometry();
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

}  // namespace quorvex
