#include "shell/error_box.h"

#include <QMessageBox>

namespace orv::app {

QString AppTitle() {
    return QStringLiteral("Справочная система лекарственных препаратов");
}

QString MainCaption() {
    return AppTitle() + QStringLiteral(" - Norvel");
}

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() <= u'.')
        return message;
    return message + QLatin1Char('.');
}

void ShowErrorBox(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, AppTitle(), ErrorBoxText(message), QMessageBox::Ok);
}

}  // namespace orv::app
