#pragma once
// The start-up check (`checkup`: the newest packet on the server) and the one-shot decision a
// second after the main window is shown (or after start-up in the background): offer the
// internet update, offer the settings after a failed check, or end a background run.
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

namespace orv {
class SettingsTarget;
}

namespace orv::app {

struct ProgramState;

class UpdateCheck : public QObject {
    Q_OBJECT
  public:
    UpdateCheck(ProgramState& state, const SettingsTarget& settings, QObject* parent = nullptr);

    int checkup();  // 0 when the check failed; `failure` then says why
    void Arm();     // checku: the decision one second from now
    void checkuTimer();

    QTimer checku;
    QWidget* dialogParent = nullptr;
    std::function<void()> openUpdate;    // the internet update window, modal
    std::function<void()> runUnseen;     // background: its show handler without the window
    std::function<void()> openSettings;  // the settings dialog on "Дополнительно"
    // Background: nothing to install (0), or the check failed (1: a failure, not "current").
    std::function<void(int code)> endProgram;
    std::string failure;

  private:
    ProgramState& state_;
    const SettingsTarget& settings_;
};

}  // namespace orv::app
