#include "app/update/download_window.h"
#include "app/update/update_texts.h"

#include <QEventLoop>
#include <QGroupBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "net/net_texts.h"
#include "update/packet_engine.h"
#include "util/error.h"
#include "util/stop_signal.h"

namespace orv::app {

namespace {
QString Q(const char* s) {
    return QString::fromUtf8(s);
}
}  // namespace

DownloadWindow::DownloadWindow(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("Download"));
    setWindowTitle(Q(kDownloadCaption));
    setFixedSize(380, 120);
    GroupBox1 = new QGroupBox(QStringLiteral("Скачано"), this);
    ProgressBar1 = new QProgressBar(GroupBox1);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    auto* g = new QVBoxLayout(GroupBox1);
    g->addWidget(ProgressBar1);
    Button1 = new QPushButton(QStringLiteral("Отмена"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    auto* v = new QVBoxLayout(this);
    v->addWidget(GroupBox1);
    v->addWidget(Button1, 0, Qt::AlignRight);
    Timer1.setInterval(10);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

DownloadWindow::~DownloadWindow() = default;

void DownloadWindow::DownloadFile(const DownloadRequest& request) {
    download_.reset();
    error_.clear();
    download_ = std::make_unique<PacketDownload>(request);
    running_ = true;
    GroupBox1->setTitle(QString::fromStdString(download_->ProgressText()));
    ProgressBar1->setValue(0);
    Timer1.start();
}

void DownloadWindow::Wait(bool background) {
    if (running_) {
        if (background) {
            QEventLoop loop;
            connect(this, &DownloadWindow::stopped, &loop, &QEventLoop::quit);
            loop.exec();
        } else {
            exec();
        }
    }
    if (!error_.isEmpty())
        throw Error(error_.toStdString());
}

QString DownloadWindow::ProgressText() const {
    return download_ ? QString::fromStdString(download_->ProgressText()) : QString();
}

void DownloadWindow::Timer1Timer() {
    if (!download_ || !running_)
        return;
    if (StopSignal() != 0) {
        // SIGTERM or SIGINT: as a confirmed "Отмена", between two reads.
        download_->Cancel();
        cancelled_ = true;
        End();
        return;
    }
    const PacketDownload::State state = download_->Pump();
    GroupBox1->setTitle(QString::fromStdString(download_->ProgressText()));
    // Without a known size the bar cannot tell anything; it stays empty.
    ProgressBar1->setValue(std::clamp(download_->Percent(), 0, 100));
    if (state == PacketDownload::State::Running)
        return;
    if (state == PacketDownload::State::Failed)
        error_ = QString::fromStdString(download_->Error());
    End();
}

void DownloadWindow::Button1Click() {
    if (!running_)
        return;
    Timer1.stop();
    const auto answer = QMessageBox::question(this, Q(kConfirmCaption), Q(kCancelDownloadQuestion),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (!running_)
        return;
    if (answer != QMessageBox::Yes) {
        Timer1.start();
        return;
    }
    // Handles and file closed; the partial upd.pckt stays, an older N.pckt is not touched.
    download_->Cancel();
    cancelled_ = true;
    End();
}

void DownloadWindow::reject() {
    if (running_)
        Button1Click();
    else
        QDialog::reject();
}

void DownloadWindow::End() {
    Timer1.stop();
    running_ = false;
    if (isVisible())
        done(cancelled_ ? QDialog::Rejected : QDialog::Accepted);
    emit stopped();
}

}  // namespace orv::app
