#include "app/search/suggestion_popup.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace orv::app {
namespace {

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool IsListKey(int key) {
    return IsEnter(key) || key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Escape;
}

}  // namespace

SuggestionPopup::SuggestionPopup(QLineEdit* box, QWidget* window) : QFrame(window), box_(box) {
    setObjectName(QStringLiteral("pnSuggest"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    caption = new QLabel(QStringLiteral("Возможно, вы имели в виду:"), this);
    caption->setContentsMargins(4, 2, 4, 2);
    names = new QListWidget(this);
    names->setObjectName(QStringLiteral("lbSuggest"));
    names->setFocusPolicy(Qt::NoFocus);  // the box keeps the focus and the keys
    names->setFrameShape(QFrame::NoFrame);
    names->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    names->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(caption);
    layout->addWidget(names);
    hide();
    connect(names, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Take(names->row(item)); });
    connect(box_, &QLineEdit::textChanged, this, &SuggestionPopup::Close);
    box_->installEventFilter(this);
}

void SuggestionPopup::Offer(const std::vector<NameSuggestion>& offered) {
    offered_ = offered;
    names->clear();
    for (const NameSuggestion& s : offered_)
        names->addItem(QString::fromStdString(s.name));
    if (offered_.empty()) {
        Close();
        return;
    }
    names->setCurrentRow(0);
    Place();
    show();
    raise();
}

void SuggestionPopup::Close() {
    hide();
}

void SuggestionPopup::Place() {
    QWidget* window = parentWidget();
    const QPoint at = box_->mapTo(window, QPoint(0, box_->height()));
    const int rows = names->count();
    const int rowHeight = std::max(names->sizeHintForRow(0), fontMetrics().height());
    const int width = std::max(
        {box_->width(), caption->sizeHint().width() + 2, names->sizeHintForColumn(0) + 12});
    const int height = caption->sizeHint().height() + rows * rowHeight + 2 * frameWidth() + 4;
    setGeometry(at.x(), at.y(), std::min(width, window->width() - at.x()), height);
}

void SuggestionPopup::Take(int row) {
    if (row < 0 || row >= static_cast<int>(offered_.size()))
        return;
    const NameSuggestion chosen = offered_[static_cast<size_t>(row)];
    Close();
    emit taken(chosen);
}

bool SuggestionPopup::eventFilter(QObject* watched, QEvent* e) {
    if (watched != box_)
        return QFrame::eventFilter(watched, e);
    switch (e->type()) {
        case QEvent::ShortcutOverride: {
            // Esc and Enter belong to the list while it is open, not to the window's shortcuts.
            auto* k = static_cast<QKeyEvent*>(e);
            if (IsOpen() && IsListKey(k->key()) && k->modifiers() == Qt::NoModifier) {
                e->accept();
                return true;
            }
            break;
        }
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (IsEnter(k->key()))
                swallowEnterRelease_ = false;  // a release lost to another window counts no more
            if (!IsOpen() || k->modifiers() != Qt::NoModifier)
                break;
            const int row = names->currentRow();
            switch (k->key()) {
                case Qt::Key_Up:
                    names->setCurrentRow(std::max(row - 1, 0));
                    return true;
                case Qt::Key_Down:
                    names->setCurrentRow(std::min(row + 1, names->count() - 1));
                    return true;
                case Qt::Key_Escape:
                    Close();
                    return true;
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    swallowEnterRelease_ = true;
                    Take(row);
                    return true;
                default:
                    break;
            }
            break;
        }
        case QEvent::KeyRelease: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (swallowEnterRelease_ && IsEnter(k->key()) && !k->isAutoRepeat()) {
                swallowEnterRelease_ = false;
                return true;
            }
            break;
        }
        case QEvent::FocusOut: {
            // Another program coming forward leaves the list for when the user comes back.
            const auto reason = static_cast<QFocusEvent*>(e)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                Close();
            break;
        }
        default:
            break;
    }
    return QFrame::eventFilter(watched, e);
}

}  // namespace orv::app
