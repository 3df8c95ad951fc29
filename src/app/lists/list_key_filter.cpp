#include "app/lists/list_key_filter.h"

#include <QKeyEvent>

#include "util/cp1251.h"

namespace orv::app {

bool IsTypingText(const QString& text) {
    if (text.size() != 1)
        return false;
    const char32_t c = text.at(0).unicode();
    return c == U' ' || IsLetter(c);
}

void ListKeyFilter::Watch(QObject* view) {
    view->installEventFilter(this);
}

namespace {
bool IsMovingKey(int key) {
    switch (key) {
        case Qt::Key_Space:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
            return true;
        default:
            return false;
    }
}
}  // namespace

bool ListKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (IsMovingKey(k->key()))
            pressed_.insert(k->key());
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            emit enterPressed();
            return true;
        }
        if (!(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            IsTypingText(k->text())) {
            emit textTyped(k->text());
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->isAutoRepeat())
            return QObject::eventFilter(watched, event);
        const bool movedHere = IsMovingKey(k->key()) && pressed_.remove(k->key());
        const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::ShiftModifier)
            return QObject::eventFilter(watched, event);
        // Platforms differ in whether the released Ctrl is still among the modifiers.
        if (k->key() == Qt::Key_Control && (mods & ~Qt::ControlModifier) == Qt::NoModifier) {
            emit ctrlReleased();
        } else if (movedHere) {
            emit movedByKey();
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orv::app
