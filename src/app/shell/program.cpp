#include "app/shell/program.h"

#include <QLibraryInfo>
#include <QMessageBox>
#include <QProxyStyle>
#include <QScreen>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QToolTip>
#include <QTranslator>
#include <cstdio>

#include "app/display/description_controller.h"
#include "app/display/full_description_window.h"
#include "app/settings/window_settings.h"
#include "app/shell/about_window.h"
#include "app/shell/application.h"
#include "app/shell/error_box.h"
#include "app/shell/local_windows.h"
#include "app/shell/main_partner_host.h"
#include "app/shell/main_window.h"
#include "app/shell/program_state.h"
#include "app/shell/single_instance.h"
#include "app/shell/splash_window.h"
#include "app/shell/yes_no_dialog.h"
#include "app/update/internet_update.h"
#include "db/reference.h"
#include "db/schema.h"
#include "net/server_address.h"
#include "update/update_log.h"
#include "util/paths.h"
#include "util/program_dir.h"
#include "util/text.h"
#include "util/version_mark.h"

namespace orv::app {

ProgramWindows::ProgramWindows(ProgramState& state) {
    main = std::make_unique<MainWindow>(state);
    fullDescr = new FullDescriptionWindow(main.get());
    yon = new YesNoDialog(main.get());
    about = new AboutWindow(main.get());
    main->ConnectWindows(fullDescr, about, yon);
    settings = std::make_unique<WindowSettings>(*main, *fullDescr);
    local = std::make_unique<LocalWindows>(state, *main, *settings);
    SettingsTarget* target = &local->Target();
    main->description->sections = [target] { return target->Sections(); };
    main->saveSettings = [&state, target] {
        if (state.settings)
            state.settings->SaveSettings(*target);
    };
    inet = std::make_unique<InternetUpdate>(state, *main, *target, *yon, *local);
    partnerHost = std::make_unique<MainPartnerHost>(*main);
    partner = new PartnerController(*partnerHost, main.get());
    PartnerController* link = partner;
    main->hooks.partnerReply = [link](const char* code) {
        if (std::string_view(code) == "01")
            link->SendSelectionReply();
        else
            link->SendSearchReply();
    };
}

ProgramWindows::~ProgramWindows() = default;

StartOptions ParseCommandLine(const QStringList& arguments) {
    StartOptions options;
    options.showSplash = arguments.isEmpty();
    options.background =
        !arguments.isEmpty() && arguments.first().toLower() == QStringLiteral("update");
    return options;
}

void LoadReferenceData(ProgramState& state, ProgramWindows& windows, SplashWindow& splash,
                       const std::string& dir) {
    MainWindow& main = *windows.main;
    splash.SplashStatus(QStringLiteral("Загрузка..."));
    state.printRequest = PrintRequest::None;
    state.programDir = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    state.pictDir = state.programDir + "_pict/";
    state.ref = std::make_unique<Reference>(state.programDir);
    Reference& ref = *state.ref;
    splash.SplashStatus(QStringLiteral("Подключение таблиц..."));
    splash.SplashStatus(QStringLiteral("  Препараты..."));
    ref.qMain.Open();
    state.totalPreparations = ref.TotalPreparations();  // the list is still being read
    main.AttachReference();
    splash.SplashStatus(QStringLiteral("  Препараты - OK"));
    splash.SplashStatus(QStringLiteral("  Фармгруппы..."));
    ref.tGroups.Open();
    splash.SplashStatus(QStringLiteral("  Фармгруппы - OK"));
    splash.SplashStatus(QStringLiteral("  Обновление..."));
    state.settings = std::make_unique<SettingsStore>(ref.Db());
    OpenSettings(*state.settings, windows.local->Target());
    windows.local->PacketStatistics();
    // No server set counts as the check switched off: quiet, and nothing is asked.
    if (windows.local->Target().Flag(FlagControl::CheckUpdates) && !UpdateServerAddress().empty()) {
        state.newestPacket = main.hooks.checkup ? main.hooks.checkup() : 0;
        splash.SplashStatus(state.newestPacket > 0 ? QStringLiteral("  Обновление - OK")
                                                   : QStringLiteral("  Обновление - Ошибка"));
    } else {
        splash.SplashStatus(QStringLiteral("  Обновление - отключено"));
    }
    splash.SplashStatus(QStringLiteral("Запуск..."));
    main.SelectStartPosition();
}

bool WriteInstallInfo(const std::string& programDir, const std::string& executable) {
    QSettings registry(QStringLiteral("Norvel"), QStringLiteral("Orvanta"));
    registry.setValue(QStringLiteral("path"), QString::fromStdString(programDir));
    registry.setValue(QStringLiteral("ver"), QString::fromStdString(FileVersionText(executable)));
    registry.sync();
    return registry.status() == QSettings::NoError;
}

void LoadQtTranslation(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

namespace {
class HintStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 250;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};
}  // namespace

void ApplyHintSettings(QApplication& app) {
    app.setStyle(new HintStyle);
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(0x00, 0xFF, 0xFF));
    tips.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(tips);
}

int RunProgram(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Norvel"));
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    LoadQtTranslation(app);
    const StartOptions options = ParseCommandLine(QApplication::arguments().mid(1));

    SingleInstance single;
    if (!single.Claim())
        return 0;

    auto splash = std::make_unique<SplashWindow>();
    if (options.showSplash) {
        splash->show();
        QApplication::processEvents();
    }
    QApplication::setApplicationDisplayName(QString());
    ApplyHintSettings(app);
    ProgramState state;
    std::string backgroundDir;  // where the unattended run logs, once it has begun
    try {
        ProgramWindows windows(state);
        MainWindow& main = *windows.main;
        main.onFirstShow = [&splash] { splash.reset(); };
        state.background = options.background;
        if (state.background) {
            backgroundDir = ProgramDir();
            windows.inet->EnterBackground(backgroundDir);
            splash->hide();
        }
        QObject::connect(&single, &SingleInstance::comeForwardRequested, &main, [&main, &state] {
            if (state.background && !main.isVisible())
                return;
            if (main.isMinimized()) {
                main.showNormal();
            } else {
                main.raise();
                main.activateWindow();
            }
        });

        LoadReferenceData(state, windows, *splash, ProgramDir());
        windows.partner->Listen();
        state.settings->LoadSettings(
            windows.local->Target());  // the second run sees the template defaults
        if (!WriteInstallInfo(state.programDir, ExecutablePath()))
            QMessageBox::warning(nullptr, QStringLiteral("Предупреждение"),
                                 QStringLiteral("Ошибка чтения реестра!"), QMessageBox::Ok);
        if (state.background) {
            // The unattended update decides when to end; without it there is nothing to do.
            if (!main.hooks.armUpdateCheck)
                return 0;
            main.hooks.armUpdateCheck();
        } else {
            if (QScreen* screen = QApplication::primaryScreen())
                main.setGeometry(screen->availableGeometry());  // where no window manager maximises
            main.showMaximized();
        }
        return QApplication::exec();
    } catch (const std::exception& e) {
        splash.reset();
        const QString text = ErrorBoxText(QString::fromUtf8(e.what()));
        // Also for the journal of a scheduled run; an unattended run without a tray has nobody
        // to close a box, so there the line is all.
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        std::fflush(stderr);
        if (!backgroundDir.empty()) {
            // A scheduled run that could not even start is the failure an administrator
            // looks for in the log.
            UpdateLog log(backgroundDir.back() == '/' ? backgroundDir : backgroundDir + "/");
            log.Write(std::string("Ошибка: ") + e.what());
            log.Write("Конец обновления, код 1");
        }
        if (!(options.background && !QSystemTrayIcon::isSystemTrayAvailable()))
            QMessageBox::critical(nullptr, AppTitle(), text, QMessageBox::Ok);
        return 1;
    }
}

}  // namespace orv::app
