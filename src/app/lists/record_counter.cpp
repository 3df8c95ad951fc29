#include "app/lists/record_counter.h"

#include <QLabel>

namespace orv::app {

RecordCounter::RecordCounter(QLabel* label, QLabel* picture, std::function<int()> rows,
                             std::function<int()> total, QObject* parent)
    : QObject(parent),
      label_(label),
      picture_(picture),
      rows_(std::move(rows)),
      total_(std::move(total)) {
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &RecordCounter::RecCountTimer);
}

void RecordCounter::ShowStartText(int rows, int total) {
    label_->setText(QStringLiteral("Показано: %1 из %2 записей").arg(rows).arg(total));
}

void RecordCounter::RecCountTimer() {
    const int n = rows_();
    const int total = total_();
    const QColor colour = n < 0        ? QColor(0x80, 0x80, 0x80)
                          : n == total ? QColor(0x00, 0x80, 0x00)
                                       : QColor(0xFF, 0x00, 0x00);
    QPalette pal = label_->palette();
    if (pal.color(QPalette::WindowText) != colour) {
        pal.setColor(QPalette::WindowText, colour);
        label_->setPalette(pal);
    }
    const QString shown = n < 0 ? QStringLiteral("…") : QString::number(n);
    const QString hint = n < 0
                             ? QStringLiteral("Записи списка ещё считываются; всего %1").arg(total)
                             : QStringLiteral("Показано %1 из %2 записей").arg(n).arg(total);
    label_->setToolTip(hint);
    picture_->setToolTip(hint);
    const QString caption = QStringLiteral("%1 / %2").arg(shown).arg(total);
    if (label_->text() != caption)
        label_->setText(caption);
}

}  // namespace orv::app
