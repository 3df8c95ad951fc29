#include "app/shell/splash_window.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShowEvent>

namespace orv::app {

QPixmap ProductPicture() {
    return QPixmap(QStringLiteral(":/product.jpg"));
}

namespace {
constexpr int kTitleWidth = 345;  // the right panel less its left margin

QFont Arial(int pixels, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}
}  // namespace

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(524, 168);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80));
    setPalette(pal);

    const QColor panelColour(0xE5, 0xE5, 0xE5);
    auto makePanel = [&](QRect geometry) {
        auto* panel = new QWidget(this);
        panel->setGeometry(geometry);
        panel->setAutoFillBackground(true);
        QPalette p = panel->palette();
        p.setColor(QPalette::Window, panelColour);
        p.setColor(QPalette::Base, panelColour);
        panel->setPalette(p);
        return panel;
    };
    QWidget* left = makePanel(QRect(1, 1, 169, 166));
    QWidget* right = makePanel(QRect(170, 1, 353, 166));

    auto* picture = new QLabel(left);
    picture->setPixmap(ProductPicture());
    picture->setGeometry(0, 0, 169, 166);
    picture->setAlignment(Qt::AlignCenter);

    auto* title = new QLabel(QStringLiteral("Справочная система лекарственных препаратов"), right);
    // Arial's 13 pixels fit the strip; a wider face standing in for Arial is made smaller, as
    // the about box does, so the title is never cut at the panel's edge.
    QFont titleFont = Arial(13, true);
    while (titleFont.pixelSize() > 9 &&
           QFontMetrics(titleFont).horizontalAdvance(title->text()) > kTitleWidth)
        titleFont.setPixelSize(titleFont.pixelSize() - 1);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: #CA6500;"));
    title->setGeometry(8, 0, kTitleWidth, 33);

    status_ = new QPlainTextEdit(right);
    status_->setObjectName(QStringLiteral("mmStatus"));
    status_->setReadOnly(true);
    status_->setFrameStyle(QFrame::NoFrame);
    status_->setFont(Arial(12));
    status_->setStyleSheet(QStringLiteral("color: #2E389C; background: #E5E5E5;"));
    status_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    status_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    status_->setFocusPolicy(Qt::NoFocus);
    status_->setGeometry(16, 33, 330, 128);

    version_ = new QLabel(right);
    version_->setObjectName(QStringLiteral("lbVersion"));
    version_->setFont(Arial(13));
    version_->setStyleSheet(QStringLiteral("color: navy;"));
    version_->setGeometry(250, 36, 100, 18);
    version_->raise();
}

void SplashWindow::showEvent(QShowEvent* e) {
    version_->setText(QStringLiteral("версия: 3.1"));
    if (QScreen* screen = QApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    QWidget::showEvent(e);
}

void SplashWindow::SplashStatus(const QString& text) {
    status_->appendPlainText(text);
    if (isVisible())
        repaint();
}

QString SplashWindow::StatusText() const {
    return status_->toPlainText();
}

}  // namespace orv::app
