#include "common/report_error.h"

#include <QMessageBox>

namespace orv::app {

QString ApplicationTitle() {
    return QStringLiteral("Справочная система лекарственных препаратов");
}

QString ErrorBoxText(const QString& message) {
    const QByteArray bytes = message.toUtf8();
    if (!bytes.isEmpty() && static_cast<unsigned char>(bytes.back()) <= '.')
        return message;
    return message + QLatin1Char('.');
}

void ReportError(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, ApplicationTitle(), ErrorBoxText(message));
}

}  // namespace orv::app
