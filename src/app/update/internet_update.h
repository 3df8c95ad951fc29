#pragma once
// The internet update's windows and timers, created once with the main window: the start-up
// check and the decision timer, the update window, the download window, the packet installer
// and, in the background run, the tray icon.
#include <QString>
#include <memory>
#include <string>

class QTimer;

namespace orv {
class SettingsTarget;
class UpdateLog;
}  // namespace orv

namespace orv::app {

struct ProgramState;
class MainWindow;
class YesNoDialog;
class DownloadWindow;
class InetUpdateWindow;
class PacketInstaller;
class UpdateCheck;
class BackgroundTray;
class LocalWindows;

class InternetUpdate {
  public:
    // Fills the update window's "Обновить из Интернета..."; installs through the packet
    // engine's window of `local`.
    InternetUpdate(ProgramState& state, MainWindow& main, const SettingsTarget& settings,
                   YesNoDialog& yon, LocalWindows& local);
    ~InternetUpdate();

    // Background mode, before the reference is loaded: the tray icon and its blinking, the
    // update log beside source.bin in `dir`, and SIGTERM/SIGINT ending the run between steps.
    void EnterBackground(const std::string& dir);
    // The update window, modal ("Обновить из Интернета...", the offer at start-up); while a run
    // is under way the user is told so instead.
    void OpenModal();
    // The start-up check: the newest packet on the server, 0 on failure (logged unattended).
    int Checkup();
    // The decision one second after the window is first shown.
    void ArmCheck();

    DownloadWindow* download = nullptr;
    InetUpdateWindow* window = nullptr;
    UpdateCheck* check = nullptr;
    std::unique_ptr<BackgroundTray> tray;

  private:
    void Report(const QString& text);
    void End(int code);
    // Background: a line of the update log (nothing in the foreground).
    void Log(const std::string& line);
    // A stop signal: ends the run once no download or packet is in progress.
    void PollStopSignal();

    ProgramState& state_;
    MainWindow& main_;
    const SettingsTarget& settings_;
    LocalWindows& local_;
    std::unique_ptr<PacketInstaller> installer_;
    std::unique_ptr<UpdateLog> log_;
    QTimer* stopPoll_ = nullptr;
    bool ended_ = false;
};

}  // namespace orv::app
