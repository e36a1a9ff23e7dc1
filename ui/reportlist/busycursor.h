#pragma once

#include <QGuiApplication>

namespace quorvex {

// Shows the busy pointer for as long as it lives, and ends it on every way
// out of its scope, an exception included.
class BusyCursor {
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace quorvex
