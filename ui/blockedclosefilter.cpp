#include "ui/blockedclosefilter.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace quorvex {

namespace {

std::uint32_t InternAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : std::uint32_t{XCB_ATOM_NONE};
}

}  // namespace

BlockedCloseFilter::BlockedCloseFilter(QWidget* window, std::function<void()> closeRequested)
    : window_(window), closeRequested_(std::move(closeRequested)) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    protocolsAtom_ = InternAtom(x11->connection(), "WM_PROTOCOLS");
    deleteWindowAtom_ = InternAtom(x11->connection(), "WM_DELETE_WINDOW");
    if (protocolsAtom_ != XCB_ATOM_NONE && deleteWindowAtom_ != XCB_ATOM_NONE) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
}

BlockedCloseFilter::~BlockedCloseFilter() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

// Taken here, at the moment it is read, the request is not left to Qt, which
// may hold it back as input while a long step goes on and then find the
// window blocked by a box that step shows.
bool BlockedCloseFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                           qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t" || window_.isNull()) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_CLIENT_MESSAGE) {
        return false;
    }
    const auto* request = static_cast<const xcb_client_message_event_t*>(message);
    if (request->format == 32 && request->type == protocolsAtom_ &&
        request->data.data32[0] == deleteWindowAtom_ && request->window == window_->winId()) {
        closeRequested_();
        return true;
    }
    return false;
}

}  // namespace quorvex
