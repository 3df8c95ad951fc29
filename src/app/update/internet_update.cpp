#include "app/update/internet_update.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/shell/background_tray.h"
#include "app/shell/error_box.h"
#include "app/shell/local_windows.h"
#include "app/shell/main_window.h"
#include "app/shell/program_state.h"
#include "app/update/download_window.h"
#include "app/update/engine_installer.h"
#include "app/update/inet_update_window.h"
#include "app/update/packet_run_window.h"
#include "app/update/update_check.h"
#include "app/update/update_texts.h"
#include "net/net_texts.h"
#include "net/server_address.h"
#include "settings/settings_target.h"
#include "update/update_log.h"
#include "util/stop_signal.h"

namespace orv::app {

InternetUpdate::InternetUpdate(ProgramState& state, MainWindow& main,
                               const SettingsTarget& settings, YesNoDialog& yon,
                               LocalWindows& local)
    : state_(state), main_(main), settings_(settings), local_(local) {
    installer_ = std::make_unique<EngineInstaller>(local, *local.engine);
    local.engine->reportError = [this](const QString& t) { Report(t); };
    local.engine->note = [this](const std::string& line) { Log(line); };
    local.openInternetUpdate = [this] { OpenModal(); };
    download = new DownloadWindow(&main);
    window = new InetUpdateWindow(state, settings, *download, yon, *installer_, &main);
    window->showStatus = [&main](const QString& t) { main.ShowStatus(t); };
    window->progressLine = [this](const QString& t) {
        if (tray)
            tray->Progress(t);
        Log(t.toStdString());
    };
    window->note = [this](const std::string& line) { Log(line); };
    window->reportError = [this](const QString& t) { Report(t); };
    window->reportConnectionError = [this, w = window](const QString& t) {
        if (state_.background && ((tray && !tray->HasTray()) || StopSignal() != 0)) {
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
    check->runUnseen = [this] {
        // The decision again (the main window shown for a partner's request): the run that is
        // under way goes on alone.
        if (!window->RunUnseen() && window->Busy())
            Log(kUpdateRunningHere);
    };
    check->openSettings = [&main] {
        if (main.hooks.openSettings)
            main.hooks.openSettings(2);  // "Дополнительно"
    };
    check->endProgram = [this](int code) {
        if (window->Busy())
            return;  // a repeated decision while the run goes on ends nothing
        if (tray && UpdateServerAddress().empty())
            tray->Progress(QString::fromUtf8(kNoServerSet));
        if (code != 0 && tray)
            tray->Progress(
                QString::fromStdString("Проверка обновлений не удалась: " + check->failure));
        End(code);
    };
    UpdateCheck* c = check;
    main.hooks.checkup = [this, c] {
        const int newest = c->checkup();
        if (log_) {
            log_->Hide(settings_.Text(TextControl::ProxyPassword));
            Log(newest > 0 ? "На сервере последний пакет №" + std::to_string(newest)
                           : "Проверка обновлений не удалась: " + c->failure);
        }
        return newest;
    };
    main.hooks.armUpdateCheck = [c] { c->Arm(); };
}

InternetUpdate::~InternetUpdate() = default;

void InternetUpdate::EnterBackground(const std::string& dir) {
    tray = std::make_unique<BackgroundTray>();
    tray->Start();
    log_ = std::make_unique<UpdateLog>(dir.empty() || dir.back() == '/' ? dir : dir + "/");
    Log("Начало обновления (orvanta update), сервер " + UpdateServerAddress() + ", папка " + dir);
    CatchStopSignals();
    stopPoll_ = new QTimer(&main_);
    stopPoll_->setInterval(100);
    QObject::connect(stopPoll_, &QTimer::timeout, &main_, [this] { PollStopSignal(); });
    stopPoll_->start();
}

void InternetUpdate::OpenModal() {
    if (window->Busy()) {
        QMessageBox::information(&main_, QString::fromUtf8(kInetUpdateCaption),
                                 QString::fromUtf8(kUpdateRunningHere));
        return;
    }
    window->exec();
}

void InternetUpdate::Log(const std::string& line) {
    if (log_ && !line.empty())
        log_->Write(line);
}

void InternetUpdate::PollStopSignal() {
    const int signal = StopSignal();
    // The download and the engine stop at their next step; the end waits for that.
    if (signal == 0 || download->Running() || local_.engine->Running())
        return;
    Log(StopSignalText(signal));
    End(StopSignalExitCode(signal));
}

void InternetUpdate::Report(const QString& text) {
    if (state_.background)
        Log("Ошибка: " + text.toStdString());
    if (state_.background && StopSignal() != 0) {
        PollStopSignal();
        return;
    }
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
    if (ended_)
        return;  // the first end's code stands
    ended_ = true;
    Log("Конец обновления, код " + std::to_string(code));
    QCoreApplication::exit(code);
}

}  // namespace orv::app
