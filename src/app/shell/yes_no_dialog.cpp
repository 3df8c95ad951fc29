#include "shell/yes_no_dialog.h"

#include <QLabel>
#include <QPushButton>

namespace orv::app {

YesNoDialog::YesNoDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("yon"));
    setWindowTitle(QStringLiteral("Внимание!"));
    setFixedSize(411, 102);
    setModal(true);
    line1_ = new QLabel(this);
    line1_->setObjectName(QStringLiteral("lbLine1"));
    line1_->setWordWrap(true);
    line1_->setGeometry(9, 6, 393, 33);
    line2_ = new QLabel(this);
    line2_->setObjectName(QStringLiteral("lbLine2"));
    line2_->setGeometry(9, 44, 393, 18);
    auto* yes = new QPushButton(QStringLiteral("Да"), this);
    yes->setObjectName(QStringLiteral("btnYes"));
    yes->setGeometry(238, 70, 80, 25);
    auto* no = new QPushButton(QStringLiteral("Нет"), this);
    no->setObjectName(QStringLiteral("btnNo"));
    no->setGeometry(324, 70, 80, 25);
    connect(yes, &QPushButton::clicked, this, [this] {
        result_ = 1;
        accept();
    });
    connect(no, &QPushButton::clicked, this, [this] {
        result_ = 0;
        reject();
    });
}

void YesNoDialog::SetMessage(const QString& line1, const QString& line2) {
    line1_->setText(line1);
    line2_->setText(line2);
}

int YesNoDialog::Ask() {
    result_ = 0;
    exec();
    return result_;
}

}  // namespace orv::app
