#include "ui/tabcontainer.h"

#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <algorithm>

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
            if (tab.state & QStyle::State_HasFocus) {
                DrawFocusMark(painter, tab);
            }
        }
    }

  private:
    // Some styles draw a focus frame only after the focus was moved by the
    // keyboard; the strip shows it whenever it has the focus, since at start
    // it has the focus without any key pressed.
    void DrawFocusMark(QStylePainter& painter, const QStyleOptionTab& tab) {
        constexpr int kInset = 3;
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(tab);
        focus.rect = tab.rect.adjusted(kInset, kInset, -kInset, -kInset);
        focus.state |= QStyle::State_KeyboardFocusChange;
        focus.backgroundColor = tab.palette.color(QPalette::Window);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
};

struct TabKey {
    QKeySequence keys;
    int step;
};

// The keys of any tab control; they work wherever the focus is in the container.
const TabKey kTabKeys[] = {
    {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
    {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
    {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
    {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
};

}  // namespace

TabContainer::TabContainer(QWidget* parent) : QWidget(parent), tabBar_(new CompactTabBar(this)) {
    tabBar_->setDrawBase(false);
    tabBar_->setExpanding(false);
    connect(tabBar_, &QTabBar::currentChanged, this, &TabContainer::ShowCurrentPage);
    for (const TabKey& key : kTabKeys) {
        auto* shortcut = new QShortcut(key.keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = key.step] { StepTab(step); });
    }
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

// From the last tab the next one is the first, and back again.
void TabContainer::StepTab(int step) {
    const int count = tabBar_->count();
    if (isEnabled() && count > 0) {
        tabBar_->setCurrentIndex((tabBar_->currentIndex() + step + count) % count);
    }
}

// The focus in a page that is hidden moves to the first control of the page
// shown; in the strip of captions it stays.
void TabContainer::ShowCurrentPage() {
    const QWidget* focus = QApplication::focusWidget();
    const bool focusInPage = std::any_of(
        pages_.begin(), pages_.end(), [focus](QWidget* page) { return page->isAncestorOf(focus); });
    for (int i = 0; i < pages_.size(); ++i) {
        pages_[i]->setVisible(i == tabBar_->currentIndex());
    }
    if (focusInPage && tabBar_->currentIndex() >= 0) {
        FocusFirstControl(pages_[tabBar_->currentIndex()]);
    }
}

void TabContainer::FocusFirstControl(QWidget* page) {
    const QList<QWidget*> controls = page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const auto first = std::find_if(controls.begin(), controls.end(), [](QWidget* control) {
        return (control->focusPolicy() & Qt::TabFocus) != 0;
    });
    if (first != controls.end()) {
        (*first)->setFocus(Qt::TabFocusReason);
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
