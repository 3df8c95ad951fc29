#include "app/update/packet_run_window.h"

#include <QEventLoop>
#include <QGroupBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/error_box.h"
#include "app/shell/run_reported.h"
#include "app/shell/wait_cursor.h"
#include "app/update/packet_core.h"
#include "app/update/update_host.h"
#include "app/update/update_lock_holder.h"
#include "app/update/update_texts.h"
#include "update/packet_engine.h"
#include "update/update_log.h"
#include "util/stop_signal.h"

namespace orv::app {

namespace {
QString Q(const char* s) {
    return QString::fromUtf8(s);
}
}  // namespace

PacketRunWindow::PacketRunWindow(UpdateHost& host, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), host_(host) {
    setWindowTitle(Q(kEngineCaption));
    setFixedSize(360, 130);
    GB1 = new QGroupBox(Q(kEngineGroupCaption), this);
    PBar2 = new QProgressBar(GB1);
    PBar2->setRange(0, 100);
    PBar2->setValue(0);
    auto* g = new QVBoxLayout(GB1);
    g->addWidget(PBar2);
    Button1 = new QPushButton(Q(kEngineStopButton), this);
    Button1->setAutoDefault(false);
    auto* v = new QVBoxLayout(this);
    v->addWidget(GB1);
    v->addWidget(Button1, 0, Qt::AlignHCenter);
    Timer1.setInterval(kEngineTimerMs);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

PacketRunWindow::~PacketRunWindow() = default;

PacketRunWindow::Outcome PacketRunWindow::Run(const QString& path) {
    if (!finished_) {
        // A nested request (a window opened while this one waits in its loop) would replace the
        // running packet under its own feet.
        Report(host_.Window(), QString::fromUtf8(kPacketAlreadyRunning));
        return Outcome::Failed;
    }
    try {
        WaitCursor wait;
        lock_ = HoldUpdateLock(host_.Ref().Dir());
        run_ = ApplyPacket(host_.Ref(), path.toStdString());
    } catch (const PacketRefused& e) {
        lock_.reset();
        PublishPackets(host_, e.Info());
        Report(host_.Window(), QString::fromUtf8(e.what()));
        return Outcome::Failed;
    } catch (const std::exception& e) {
        lock_.reset();
        Report(host_.Window(), QString::fromUtf8(e.what()));
        return Outcome::Failed;
    }
    finished_ = false;
    outcome_ = Outcome::Failed;
    start_ = std::chrono::steady_clock::now();
    setWindowTitle(Q(kEngineCaption));
    GB1->setTitle(Q(kEngineGroupCaption));
    PBar2->setValue(0);
    host_.SetListAttached(false);
    host_.SetRecordCounterPaused(true);
    Timer1.start();
    if (host_.BackgroundMode()) {
        QEventLoop loop;
        connect(this, &PacketRunWindow::finishedRun, &loop, &QEventLoop::quit);
        if (!finished_)
            loop.exec();
    } else if (!finished_) {
        exec();
    }
    return outcome_;
}

void PacketRunWindow::Timer1Timer() {
    if (!run_ || finished_)
        return;
    if (StopSignal() != 0) {
        // SIGTERM or SIGINT: stopped between two ticks, the rows written stay.
        RunReported(this, [this] { run_->Stop(); });
        Finish();
        return;
    }
    try {
        const PacketProgress& p = run_->Tick(std::chrono::milliseconds(15), stepLimit_);
        setWindowTitle(QString::fromStdString(p.caption));
        GB1->setTitle(QString::fromStdString(p.progressText));
        PBar2->setValue(p.percent);
        GB1->repaint();
        if (QWidget* w = host_.Window())
            w->update();
    } catch (const std::exception& e) {
        // The failing line ended the run: the rows written before it stay, nothing recorded.
        Timer1.stop();
        Report(this, QString::fromUtf8(e.what()));
    }
    if (!run_->Running())
        Finish();
}

void PacketRunWindow::Button1Click() {
    if (finished_ || !run_)
        return;
    Timer1.stop();
    const auto answer = QMessageBox::question(this, Q(kConfirmCaption), Q(kEngineStopQuestion),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (finished_)
        return;
    if (answer != QMessageBox::Yes) {
        Timer1.start();
        return;
    }
    RunReported(this, [this] { run_->Stop(); });
    Finish();
}

void PacketRunWindow::reject() {
    Button1Click();
}

void PacketRunWindow::Finish() {
    Timer1.stop();
    finished_ = true;
    switch (run_->CurrentState()) {
        case PacketRun::State::Completed:
            outcome_ = Outcome::Completed;
            break;
        case PacketRun::State::Stopped:
            outcome_ = Outcome::Stopped;
            break;
        default:
            outcome_ = Outcome::Failed;
            break;
    }
    PublishPackets(host_, run_->Info());
    // Also after a stop or a failed line: rows were written, and the counter compares with it.
    host_.SetTotalPreparations(run_->TotalPreparations());
    if (note && outcome_ == Outcome::Completed) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        note(InstalledLogLine(run_->Number(), run_->Progress().stepsTotal, seconds,
                              run_->TotalPreparations()));
    } else if (note && outcome_ == Outcome::Stopped) {
        note(StoppedLogLine(run_->Number()));
    }
    run_.reset();
    lock_.reset();
    host_.SetListAttached(true);
    host_.SetRecordCounterPaused(false);
    host_.ListReopened();
    if (isVisible())
        done(outcome_ == Outcome::Completed ? QDialog::Accepted : QDialog::Rejected);
    emit finishedRun();
}

void PacketRunWindow::Report(QWidget* parent, const QString& text) {
    if (reportError)
        reportError(text);
    else
        ShowErrorBox(parent, text);
}

}  // namespace orv::app
