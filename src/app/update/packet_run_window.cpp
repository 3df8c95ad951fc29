#include "update/packet_run_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/cursor.h"
#include "common/report_error.h"
#include "update/packet_core.h"
#include "update/update_host.h"

namespace orv::app {

namespace {
QString Q(const char* s) {
    return QString::fromUtf8(s);
}
}  // namespace

PacketRunWindow::PacketRunWindow(UpdateHost& host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), host_(host) {
    setWindowTitle(Q("Обновление"));
    setFixedSize(360, 130);
    GB1 = new QGroupBox(Q("Прогресс"), this);
    PBar2 = new QProgressBar(GB1);
    PBar2->setRange(0, 100);
    PBar2->setValue(0);
    auto* g = new QVBoxLayout(GB1);
    g->addWidget(PBar2);
    Button1 = new QPushButton(Q("Остановить"), this);
    Button1->setAutoDefault(false);
    auto* v = new QVBoxLayout(this);
    v->addWidget(GB1);
    v->addWidget(Button1, 0, Qt::AlignHCenter);
    Timer1.setInterval(20);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

PacketRunWindow::~PacketRunWindow() = default;

PacketRunWindow::Outcome PacketRunWindow::Run(const QString& path) {
    {
        WaitCursor wait;
        try {
            run_ = StartPacket(host_.reference(), path.toStdString());
        } catch (const std::exception& e) {
            // A packet refused by the order or duplicate check leaves the packet list re-read.
            RefreshPackets();
            ReportError(host_.mainWindow(), QString::fromUtf8(e.what()));
            return Outcome::Failed;
        }
    }
    finished_ = false;
    outcome_ = Outcome::Failed;
    PBar2->setValue(0);
    GB1->setTitle(Q("Прогресс"));
    host_.SetListAttached(false);
    host_.SetRecordCounterPaused(true);
    Timer1.start();
    if (host_.BackgroundMode()) {
        QEventLoop loop;
        connect(this, &PacketRunWindow::finishedRun, &loop, &QEventLoop::quit);
        if (!finished_)
            loop.exec();
    } else {
        exec();
    }
    return outcome_;
}

void PacketRunWindow::Timer1Timer() {
    if (!run_)
        return;
    bool done = false;
    try {
        done = run_->Step();
    } catch (const std::exception& e) {
        // A failing line ends the run unrecorded; the rows written so far stay.
        Timer1.stop();
        ReportError(this, QString::fromUtf8(e.what()));
        RefreshPackets();
        Finish(Outcome::Failed);
        return;
    }
    const int p = run_->Percent();
    setWindowTitle(Q("Подгрузка пакета №") + QString::number(run_->Number()));
    GB1->setTitle(Q("Готово ") + QString::number(p) + Q("%"));
    PBar2->setValue(p);
    GB1->repaint();
    if (QWidget* w = host_.mainWindow())
        w->update();
    if (!done)
        return;
    Timer1.stop();
    try {
        run_->Complete();
    } catch (const std::exception& e) {
        ReportError(this, QString::fromUtf8(e.what()));
        RefreshPackets();
        Finish(Outcome::Failed);
        return;
    }
    RefreshPackets();
    Finish(Outcome::Completed);
}

void PacketRunWindow::Button1Click() {
    if (finished_)
        return;
    Timer1.stop();
    const auto answer = QMessageBox::question(this, Q("Подтверждение"), Q("Остановить обновление?"),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        if (!finished_)
            Timer1.start();
        return;
    }
    RefreshPackets();
    Finish(Outcome::Stopped);
}

void PacketRunWindow::reject() {
    Button1Click();
}

void PacketRunWindow::Finish(Outcome outcome) {
    outcome_ = outcome;
    finished_ = true;
    run_.reset();
    host_.SetRecordCounterPaused(false);
    host_.SetListAttached(true);
    if (isVisible())
        done(outcome == Outcome::Completed ? QDialog::Accepted : QDialog::Rejected);
    emit finishedRun();
}

void PacketRunWindow::RefreshPackets() {
    try {
        RefreshPacketList(host_);
    } catch (const std::exception& e) {
        ReportError(host_.mainWindow(), QString::fromUtf8(e.what()));
    }
}

}  // namespace orv::app
