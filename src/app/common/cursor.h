#pragma once
// The hourglass for the length of a scope; the normal cursor comes back also on error.
#include <QApplication>
#include <QCursor>

namespace orv::app {

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace orv::app
