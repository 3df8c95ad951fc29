#include "app/shell/yes_no_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace orv::app {

YesNoDialog::YesNoDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("yon"));
    setWindowTitle(QStringLiteral("Внимание!"));
    setModal(true);
    line1_ = new QLabel(this);
    line1_->setObjectName(QStringLiteral("lbLine1"));
    line1_->setWordWrap(true);
    line2_ = new QLabel(this);
    line2_->setObjectName(QStringLiteral("lbLine2"));
    yes_ = new QPushButton(QStringLiteral("Да"), this);
    yes_->setObjectName(QStringLiteral("btnYes"));
    no_ = new QPushButton(QStringLiteral("Нет"), this);
    no_->setObjectName(QStringLiteral("btnNo"));
    Arrange();
    connect(yes_, &QPushButton::clicked, this, [this] {
        result_ = 1;
        accept();
    });
    connect(no_, &QPushButton::clicked, this, [this] {
        result_ = 0;
        reject();
    });
}

void YesNoDialog::SetMessage(const QString& line1, const QString& line2) {
    line1_->setText(line1);
    line2_->setText(line2);
    Arrange();
}

void YesNoDialog::Arrange() {
    // The designed 411 x 102 holds two lines of the message; a longer one (the packet file's
    // text wraps to three in most fonts) makes the window taller rather than being cut.
    const int first = std::max(33, line1_->heightForWidth(393));
    line1_->setGeometry(9, 6, 393, first);
    const int second = std::max(18, line2_->sizeHint().height());
    line2_->setGeometry(9, 11 + first, 393, second);
    const int buttons = line2_->geometry().bottom() + 9;
    yes_->setGeometry(238, buttons, 80, 25);
    no_->setGeometry(324, buttons, 80, 25);
    setFixedSize(411, buttons + 32);
}

int YesNoDialog::Ask() {
    result_ = 0;
    exec();
    return result_;
}

}  // namespace orv::app
