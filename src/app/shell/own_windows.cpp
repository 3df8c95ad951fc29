#include "app/shell/own_windows.h"

#include <QEvent>
#include <QWidget>

namespace orv::app {

void OwnWindows::Register(QWidget* window) {
    window->installEventFilter(this);
}

bool OwnWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow())
        emit closed();
    return QObject::eventFilter(watched, event);
}

}  // namespace orv::app
