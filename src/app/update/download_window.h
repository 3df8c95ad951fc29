#pragma once
// "Загрузка": fetches one packet file into the program folder with a progress display and
// "Отмена". The transfer is pumped from a 10 ms timer, so the window repaints and the cancel
// button works between reads; only a complete transfer gets the packet's file name.
#include <QDialog>
#include <QString>
#include <QTimer>
#include <memory>

#include "net/download.h"

class QGroupBox;
class QProgressBar;
class QPushButton;

namespace orv::app {

class DownloadWindow : public QDialog {
    Q_OBJECT
  public:
    explicit DownloadWindow(QWidget* parent = nullptr);
    ~DownloadWindow() override;

    // Starts the request; the caller sets the caption, the expected size and the packet number
    // in `request` before. Throws only for a proxy port that is not a number.
    void DownloadFile(const DownloadRequest& request);
    // Runs the started transfer to its end: modal in the foreground, unseen (waiting for the
    // timer to stop) in the background. Throws the download's error (refused answer, broken
    // transfer, file error); a cancel sets Cancelled() and returns.
    void Wait(bool background);

    bool Cancelled() const { return cancelled_; }
    void ClearCancelled() { cancelled_ = false; }
    // The progress text of the last step (for the background's progress lines).
    QString ProgressText() const;
    // The last transfer (bytes, seconds, size note for the update log); null before the first.
    const PacketDownload* Last() const { return download_.get(); }
    bool Running() const { return running_; }

    QGroupBox* GroupBox1 = nullptr;  // "Скачано: ..."
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Отмена"
    QTimer Timer1;

  signals:
    void stopped();  // the timer was switched off for good: completed, failed or cancelled

  public slots:
    void reject() override;  // Esc asks as "Отмена" does

  private:
    void Timer1Timer();
    void Button1Click();
    void End();

    std::unique_ptr<PacketDownload> download_;
    QString error_;
    bool cancelled_ = false;
    bool running_ = false;
};

}  // namespace orv::app
