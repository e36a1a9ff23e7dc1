#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <cstdint>
#include <functional>

class QWidget;

namespace quorvex {

// Qt drops a close request the window system makes to a window that a modal
// dialog blocks, so that closing the window behind a message box would do
// nothing; and a request Qt held back as input while a long step went on
// reaches the window only after that step has shown such a box. On X11 this
// filter takes every close request made to the window the moment it is read
// and passes it on, box or no box. Elsewhere it is not installed.
class BlockedCloseFilter : public QAbstractNativeEventFilter {
  public:
    // `closeRequested` is called for each close request made to `window`.
    BlockedCloseFilter(QWidget* window, std::function<void()> closeRequested);
    ~BlockedCloseFilter() override;

    BlockedCloseFilter(const BlockedCloseFilter&) = delete;
    BlockedCloseFilter& operator=(const BlockedCloseFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    QPointer<QWidget> window_;
    std::function<void()> closeRequested_;
    std::uint32_t protocolsAtom_ = 0;
    std::uint32_t deleteWindowAtom_ = 0;
};

}  // namespace quorvex
