#pragma once
// Answers the message boxes a window opens while a test drives it.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <memory>

namespace orv::test {

struct SeenBox {
    bool seen = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

inline QObject& PendingAnswers() {
    static QObject holder;
    return holder;
}

// Forgets answers that no box has asked for (call between test cases).
inline void CancelPendingAnswers() {
    qDeleteAll(PendingAnswers().children());
}

// The next message box that becomes the active modal window is answered with `button`.
inline std::shared_ptr<SeenBox> AnswerNextBox(QMessageBox::StandardButton button) {
    auto seen = std::make_shared<SeenBox>();
    auto* timer = new QTimer(&PendingAnswers());
    timer->setInterval(5);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, seen, button, ticks] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (++*ticks > 1000) {  // nobody asked within 5 s
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        seen->seen = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        timer->stop();
        timer->deleteLater();
        if (QAbstractButton* b = box->button(button))
            b->click();
        else
            box->done(button);
    });
    timer->start();
    return seen;
}

}  // namespace orv::test
