#pragma once
// The packet engine's window: runs one packet file tick by tick on the UI thread, shows the
// progress and offers Stop. Modal in the foreground; in background mode it runs unseen.
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

class QGroupBox;
class QProgressBar;
class QPushButton;

namespace orv {
class PacketRun;
class UpdateLock;
}  // namespace orv

namespace orv::app {

class UpdateHost;

class PacketRunWindow : public QDialog {
    Q_OBJECT
  public:
    enum class Outcome { Completed, Stopped, Failed };

    explicit PacketRunWindow(UpdateHost& host, QWidget* parent = nullptr);
    ~PacketRunWindow() override;

    // Checks the packet file and runs it to its end, holding the reference's update lock. A
    // second packet asked for while one runs is refused (reported). The caller keeps the main list
    // wrapped (ListWrap). A refused packet or a failing line is reported here; the outcome says how
    // the run ended.
    Outcome Run(const QString& path);

    bool Running() const { return Timer1.isActive(); }
    // At most this many steps per tick (the time budget still applies); for slow-motion runs.
    void SetStepLimit(size_t steps) { stepLimit_ = steps; }

    QGroupBox* GB1 = nullptr;
    QProgressBar* PBar2 = nullptr;
    QPushButton* Button1 = nullptr;  // Остановить
    QTimer Timer1;
    // A refused packet or a failing line: the error box unless replaced.
    std::function<void(const QString&)> reportError;
    // A run's end for the update log: installed (steps, seconds) or stopped.
    std::function<void(const std::string&)> note;

  signals:
    void finishedRun();

  public slots:
    void reject() override;  // a close request asks as Stop does

  private:
    void Timer1Timer();
    void Button1Click();
    void Finish();
    void Report(QWidget* parent, const QString& text);

    UpdateHost& host_;
    std::unique_ptr<PacketRun> run_;
    std::shared_ptr<UpdateLock> lock_;  // held while a packet runs
    std::chrono::steady_clock::time_point start_;
    Outcome outcome_ = Outcome::Failed;
    bool finished_ = true;
    size_t stepLimit_ = static_cast<size_t>(-1);
};

}  // namespace orv::app
