#include "app/shell/keypad_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>

namespace orv::app {

QKeySequence KeypadShortcut(Qt::Key key) {
    return QKeySequence(key);
}

KeypadOnlyKeys::KeypadOnlyKeys(QWidget& window, std::vector<Qt::Key> keys)
    : QObject(&window), window_(window), keys_(std::move(keys)) {
    qApp->installEventFilter(this);
}

KeypadOnlyKeys::~KeypadOnlyKeys() {
    qApp->removeEventFilter(this);
}

bool KeypadOnlyKeys::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if ((k->modifiers() & Qt::KeypadModifier) ||
        std::find(keys_.begin(), keys_.end(), static_cast<Qt::Key>(k->key())) == keys_.end())
        return false;
    if (static_cast<QWidget*>(watched)->window() != &window_)
        return false;
    // Claimed for the focused control: the shortcut map then leaves the key alone and the
    // control gets it as an ordinary key press.
    k->accept();
    return true;
}

}  // namespace orv::app
