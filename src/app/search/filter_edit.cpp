#include "app/search/filter_edit.h"

#include <QKeyEvent>

namespace orv::app {

FilterEdit::FilterEdit(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("edFilter"));
    setToolTip(QStringLiteral("Нажмите Enter, чтобы построить выборку"));
}

void FilterEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Control) {
        if (!e->isAutoRepeat())
            ctrlUsed_ = false;
    } else if (e->modifiers() & Qt::ControlModifier) {
        ctrlUsed_ = true;
    }
    switch (e->key()) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Up:
        case Qt::Key_Down:
            emit movingKeyPressed();  // the key itself is not consumed
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            enterDown_ = true;  // acted on at release
            e->accept();
            return;
        default:
            QLineEdit::keyPressEvent(e);
    }
}

void FilterEdit::keyReleaseEvent(QKeyEvent* e) {
    QLineEdit::keyReleaseEvent(e);
    if (e->isAutoRepeat())
        return;
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    // Only an Enter pressed here: the release of one that closed a message box is not a search.
    const bool pressedHere = enterDown_;
    if (enter)
        enterDown_ = false;
    if (enter && pressedHere && mods == Qt::NoModifier)
        emit enterReleased();
    else if (e->key() == Qt::Key_Control && (mods & ~Qt::ControlModifier) == Qt::NoModifier &&
             !ctrlUsed_)
        emit ctrlTapped();
}

}  // namespace orv::app
