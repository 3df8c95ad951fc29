#pragma once
// The program's start and end: single instance, splash, the windows, the start-up loader, the
// install values, the message loop.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "app/shell/shell_host.h"

class QApplication;

namespace orv::app {

struct ProgramState;
class MainWindow;
class SplashWindow;
class FullDescriptionWindow;
class YesNoDialog;
class AboutWindow;
class WindowSettings;
class LocalWindows;
class PartnerHost;
class PartnerController;
class InternetUpdate;

// Every window of the program, created once, in a fixed order, living until the end; the
// main window's way to the others.
struct ProgramWindows : ShellHost {
    explicit ProgramWindows(ProgramState& state);
    ~ProgramWindows() override;
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    void OpenUpdateWindow() override;
    void OpenPacketList() override;
    void OpenSettings(int page) override;
    void OpenExtSearchDialog() override;
    void PartnerReply(const char* code) override;
    void ArmUpdateCheck() override;
    int Checkup() override;
    void SaveSettings() override;

    std::unique_ptr<MainWindow> main;
    FullDescriptionWindow* fullDescr;  // owned by main
    YesNoDialog* yon;
    AboutWindow* about;
    std::unique_ptr<WindowSettings> settings;  // the controls holding the user's settings
    std::unique_ptr<LocalWindows> local;       // extended search, settings dialog, packets
    std::unique_ptr<InternetUpdate> inet;      // start-up check, update and download windows
    std::unique_ptr<PartnerHost> partnerHost;
    PartnerController* partner;  // owned by main; listens once the program runs

  private:
    ProgramState& state_;
};

struct StartOptions {
    bool background = false;  // first parameter "update" (any case)
    bool showSplash = true;   // no parameters at all
};
StartOptions ParseCommandLine(const QStringList& arguments);  // without the program name

// The loader: connects the reference in `dir`, opens the list, loads the settings, reports each
// step on the splash. Throws on any database error.
void LoadReferenceData(ProgramState& state, ProgramWindows& windows, SplashWindow& splash,
                       const std::string& dir);

// Writes "path" and "ver" under Norvel/Orvanta; false when they could not be written.
bool WriteInstallInfo(const std::string& programDir, const std::string& executable);

// Qt's own Russian texts (standard buttons "Да"/"Нет", dialogs).
void LoadQtTranslation(QApplication& app);
// Hint colours and delay of the whole program.
void ApplyHintSettings(QApplication& app);

int RunProgram(int argc, char** argv);

}  // namespace orv::app
