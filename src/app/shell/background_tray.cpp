#include "app/shell/background_tray.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSystemTrayIcon>
#include <cstdio>
#include <cstdlib>

#include "app/shell/error_box.h"

namespace orv::app {

QIcon TrayPicture(bool second) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(second ? QColor(0xCA, 0x65, 0x00) : QColor(0x1F, 0x2E, 0x7A));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(12, 5, 8, 22));
    p.drawRect(QRectF(5, 12, 22, 8));
    if (second) {
        // A downward arrow in the cross: work in progress.
        p.setBrush(QColor(0xCA, 0x65, 0x00));
        p.drawPolygon(QPolygonF{{10, 14}, {22, 14}, {16, 22}});
    }
    return QIcon(pixmap);
}

BackgroundTray::BackgroundTray(QObject* parent)
    : QObject(parent), first_(TrayPicture(false)), second_(TrayPicture(true)) {
    IconTimer.setInterval(1000);
    connect(&IconTimer, &QTimer::timeout, this, [this] { IconTimerTimer(); });
    pmTray = new QMenu;
    QAction* N33 = pmTray->addAction(QStringLiteral("Закрыть"));
    N33->setObjectName(QStringLiteral("N33"));
    connect(N33, &QAction::triggered, this, [this] { N33Click(); });
    endProcess = [this] {
        if (tray_)
            tray_->hide();
        std::fflush(stderr);
        std::_Exit(0);
    };
}

BackgroundTray::~BackgroundTray() {
    if (tray_)
        tray_->hide();
    delete pmTray;
}

QIcon BackgroundTray::Picture(int index) const {
    return index == 19 ? first_ : second_;
}

void BackgroundTray::Start() {
    index_ = 19;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new QSystemTrayIcon(Picture(index_), this);
        tray_->setToolTip(AppTitle());
        // Only the right button opens the menu; clicks and double clicks do nothing.
        connect(tray_, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Context)
                        pmTray->popup(QCursor::pos());
                });
        tray_->show();
    }
    IconTimer.start();
}

void BackgroundTray::IconTimerTimer() {
    index_ = index_ == 19 ? 26 : 19;
    const QIcon icon = Picture(index_);
    QApplication::setWindowIcon(icon);
    if (tray_) {
        tray_->setIcon(icon);
        tray_->setToolTip(MainCaption());
    }
}

void BackgroundTray::Progress(const QString& line) {
    if (tray_ || line.isEmpty())
        return;
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

void BackgroundTray::N33Click() {
    if (QMessageBox::warning(
            nullptr, QStringLiteral("Внимание!"),
            QStringLiteral(
                "Закрытие программы во время обновления может привести к повреждению данных."),
            QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok)
        endProcess();
}

}  // namespace orv::app
