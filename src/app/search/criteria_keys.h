#pragma once
// Keys of the criteria boxes shared by the page and the dialog.
#include <QKeyEvent>

namespace orv::app {

enum class CriteriaKey { None, Search, Clear };

// Ctrl+Enter searches, Ctrl+Del empties the criteria (exactly Ctrl held).
inline CriteriaKey CriteriaKeyOf(const QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::ControlModifier)
        return CriteriaKey::None;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return CriteriaKey::Search;
    if (e->key() == Qt::Key_Delete)
        return CriteriaKey::Clear;
    return CriteriaKey::None;
}

}  // namespace orv::app
