#include "update/internet_update.h"

#include <QApplication>
#include <QMessageBox>

#include "net/server_address.h"
#include "shell/background_tray.h"
#include "shell/error_box.h"
#include "shell/local_windows.h"
#include "shell/main_window.h"
#include "shell/program_state.h"
#include "update/download_window.h"
#include "update/engine_installer.h"
#include "update/inet_update_window.h"
#include "update/packet_run_window.h"
#include "update/update_check.h"

namespace orv::app {

InternetUpdate::InternetUpdate(ProgramState& state, MainWindow& main,
                               const SettingsTarget& settings, YesNoDialog& yon,
                               LocalWindows& local)
    : state_(state), main_(main) {
    installer_ = std::make_unique<EngineInstaller>(local, *local.engine);
    local.engine->reportError = [this](const QString& t) { Report(t); };
    local.openInternetUpdate = [this] { OpenModal(); };
    download = new DownloadWindow(&main);
    window = new InetUpdateWindow(state, settings, *download, yon, *installer_, &main);
    window->showStatus = [&main](const QString& t) { main.ShowStatus(t); };
    window->progressLine = [this](const QString& t) {
        if (tray)
            tray->Progress(t);
    };
    window->reportError = [this](const QString& t) { Report(t); };
    window->reportConnectionError = [this, w = window](const QString& t) {
        if (state_.background && tray && !tray->HasTray()) {
            Report(t);
            return;
        }
        QMessageBox::critical(w->isVisible() ? static_cast<QWidget*>(w) : nullptr,
                              QStringLiteral("Внимание"), t, QMessageBox::Ok);
    };
    window->endProgram = [this] { End(0); };

    check = new UpdateCheck(state, settings, &main);
    check->dialogParent = &main;
    check->openUpdate = [this] { OpenModal(); };
    check->runUnseen = [this] { window->RunUnseen(); };
    check->openSettings = [&main] {
        if (main.hooks.openSettings)
            main.hooks.openSettings(2);  // "Дополнительно"
    };
    check->endProgram = [this] {
        if (tray && UpdateServerAddress().empty())
            tray->Progress(QString::fromUtf8(kNoServerSet));
        End(0);
    };
    UpdateCheck* c = check;
    main.hooks.checkup = [c] { return c->checkup(); };
    main.hooks.armUpdateCheck = [c] { c->Arm(); };
}

InternetUpdate::~InternetUpdate() = default;

void InternetUpdate::EnterBackground() {
    tray = std::make_unique<BackgroundTray>();
    tray->Start();
}

void InternetUpdate::OpenModal() {
    window->exec();
}

void InternetUpdate::Report(const QString& text) {
    // A background run on a desktop without a tray has nobody to answer a box: the message
    // goes to standard error and the run ends with a failure.
    if (state_.background && tray && !tray->HasTray()) {
        tray->Progress(ErrorBoxText(text));
        End(1);
        return;
    }
    ShowErrorBox(window->isVisible() ? static_cast<QWidget*>(window) : &main_, text);
}

void InternetUpdate::End(int code) {
    QCoreApplication::exit(code);
}

}  // namespace orv::app
