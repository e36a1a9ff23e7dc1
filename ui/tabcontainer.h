#pragma once

#include <QList>
#include <QWidget>

class QTabBar;

namespace quorvex {

// A tab container whose pages all cover the whole container, so that the
// controls of a tab are placed in the container's own coordinates, the strip
// of tab captions included: the progress bar sits in that strip, beside the
// captions, and still belongs to its tab. Only the current tab's page shows.
// Ctrl+Tab and Ctrl+PageDown show the next tab, Ctrl+Shift+Tab and
// Ctrl+PageUp the one before, while the container is enabled.
class TabContainer : public QWidget {
    Q_OBJECT

  public:
    explicit TabContainer(QWidget* parent = nullptr);

    // Adds a tab and returns its page, the parent for the tab's controls.
    QWidget* AddTab(const QString& caption);

    int CurrentTab() const;
    void SetCurrentTab(int index);
    QTabBar* TabBar() const { return tabBar_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void StepTab(int step);
    void ShowCurrentPage();
    static void FocusFirstControl(QWidget* page);
    void PlaceChildren();

    QTabBar* tabBar_;
    QList<QWidget*> pages_;
};

}  // namespace quorvex
