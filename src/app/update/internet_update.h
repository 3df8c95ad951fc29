#pragma once
// The internet update's windows and timers, created once with the main window: the start-up
// check and the decision timer, the update window, the download window, the packet installer
// and, in the background run, the tray icon.
#include <QString>
#include <memory>

namespace orv {
class SettingsTarget;
}

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
    // Fills the main window's hooks `checkup` and `armUpdateCheck` and the update window's
    // "Обновить из Интернета..."; installs through the packet engine's window of `local`.
    InternetUpdate(ProgramState& state, MainWindow& main, const SettingsTarget& settings,
                   YesNoDialog& yon, LocalWindows& local);
    ~InternetUpdate();

    // Background mode, before the reference is loaded: the tray icon and its blinking.
    void EnterBackground();
    // The update window, modal ("Обновить из Интернета...", the offer at start-up).
    void OpenModal();

    DownloadWindow* download = nullptr;
    InetUpdateWindow* window = nullptr;
    UpdateCheck* check = nullptr;
    std::unique_ptr<BackgroundTray> tray;

  private:
    void Report(const QString& text);
    void End(int code);

    ProgramState& state_;
    MainWindow& main_;
    std::unique_ptr<PacketInstaller> installer_;
};

}  // namespace orv::app
