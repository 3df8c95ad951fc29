// The shell's small pieces: error text, command line, single instance, splash, about box,
// yes/no dialog, install values, settings through the windows, and the program run twice.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocalSocket>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/app_fixture.h"
#include "app/app_test_main.h"
#include "app/display/full_description_window.h"
#include "app/lists/list_views.h"
#include "app/settings/window_settings.h"
#include "app/shell/about_window.h"
#include "app/shell/error_box.h"
#include "app/shell/single_instance.h"
#include "app/shell/yes_no_dialog.h"
#include "app/update/update_texts.h"
#include "net/net_texts.h"

using namespace orv;
using namespace orv::app;

class ShellTest : public QObject {
    Q_OBJECT

  private slots:
    void errorTextGetsAPeriodUnlessItEndsInPunctuation_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << QStringLiteral("Файл не найден")
                                << QStringLiteral("Файл не найден.");
        QTest::newRow("period") << QStringLiteral("Готово.") << QStringLiteral("Готово.");
        QTest::newRow("bang") << QStringLiteral("Ошибка!") << QStringLiteral("Ошибка!");
        QTest::newRow("paren") << QStringLiteral("(код 5)") << QStringLiteral("(код 5)");
        QTest::newRow("digit") << QStringLiteral("код 5") << QStringLiteral("код 5.");
        QTest::newRow("guillemet") << QStringLiteral("файл «x»") << QStringLiteral("файл «x».");
    }
    void errorTextGetsAPeriodUnlessItEndsInPunctuation() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorBoxText(message), shown);
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("splash");
        QTest::newRow("none") << QStringList{} << false << true;
        QTest::newRow("update") << QStringList{QStringLiteral("update")} << true << false;
        QTest::newRow("UPDATE") << QStringList{QStringLiteral("UPDATE")} << true << false;
        QTest::newRow("Update") << QStringList{QStringLiteral("Update")} << true << false;
        QTest::newRow("second") << QStringList{QStringLiteral("x"), QStringLiteral("update")}
                                << false << false;
        QTest::newRow("other") << QStringList{QStringLiteral("updates")} << false << false;
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(bool, background);
        QFETCH(bool, splash);
        const StartOptions o = ParseCommandLine(args);
        QCOMPARE(o.background, background);
        QCOMPARE(o.showSplash, splash);
    }

    void secondInstanceAsksTheFirstToComeForward() {
        const QString name =
            QStringLiteral("orvanta-test-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name);
        QVERIFY(first.Claim());
        QSignalSpy forward(&first, &SingleInstance::comeForwardRequested);
        SingleInstance second(name);
        QVERIFY(!second.Claim());
        QVERIFY(forward.wait(2000));
    }

    void aStaleSocketDoesNotBlockTheFirstInstance() {
        const QString name =
            QStringLiteral("orvanta-stale-%1").arg(QCoreApplication::applicationPid());
        SingleInstance first(name);
        // A crashed copy leaves its socket file behind, with nobody listening.
        QFile stale(first.SocketPath());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        QVERIFY(first.Claim());
        SingleInstance second(name);
        QVERIFY(!second.Claim());
    }

    // Copies started at the same moment, a crashed copy's socket file in the way: one listens
    // and stays reachable, the others ask it to come forward. An unguarded claim lets a late
    // copy delete the socket that the first has just begun to listen on.
    void copiesStartingTogetherLeaveOneListening() {
        const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/claim_tool");
        for (int round = 0; round < 25; ++round) {
            test::TempDir run;
            const QString socket = QString::fromStdString(run.file(kSingleInstanceName));
            const QString start = QString::fromStdString(run.file("start"));
            QFile stale(socket);
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.close();
            std::vector<std::unique_ptr<QProcess>> copies;
            for (int i = 0; i < 4; ++i) {
                copies.push_back(std::make_unique<QProcess>());
                copies.back()->start(tool, {socket, start});
                QVERIFY(copies.back()->waitForStarted());
            }
            QFile go(start);
            QVERIFY(go.open(QIODevice::WriteOnly));
            go.close();
            QStringList said;
            for (auto& copy : copies) {
                for (int waited = 0; !copy->canReadLine() && waited < 100; ++waited)
                    copy->waitForReadyRead(100);
                said << QString::fromLatin1(copy->readLine()).trimmed();
            }
            said.sort();
            QCOMPARE(said, (QStringList{"first", "second", "second", "second"}));
            QLocalSocket probe;
            probe.connectToServer(socket);
            QVERIFY2(probe.waitForConnected(2000), "the first copy's socket is gone");
            for (auto& copy : copies) {
                copy->closeWriteChannel();
                QVERIFY(copy->waitForFinished(5000));
                QCOMPARE(copy->exitCode(), 0);
            }
        }
    }

    void splashCollectsStatusLinesHiddenOrNot() {
        SplashWindow splash;
        splash.SplashStatus(QStringLiteral("Загрузка..."));
        splash.SplashStatus(QStringLiteral("  Препараты - OK"));
        QVERIFY(!splash.isVisible());
        QCOMPARE(splash.StatusText(), QStringLiteral("Загрузка...\n  Препараты - OK"));
        QCOMPARE(splash.size(), QSize(524, 168));
        QVERIFY(!ProductPicture().isNull());  // the JPEG decodes
    }

    void aboutShowsTheFixedVersionEveryTime() {
        AboutWindow about;
        for (int i = 0; i < 2; ++i) {
            QTimer::singleShot(0, &about, [&] { about.accept(); });
            about.exec();
            QCOMPARE(about.VersionText(), QStringLiteral("версия: 3.1"));
        }
        QCOMPARE(about.windowTitle(), QStringLiteral("О программе"));
    }

    void yesNoResult() {
        YesNoDialog dialog;
        dialog.SetMessage(QStringLiteral("Файл 12.pckt уже загружен."),
                          QStringLiteral("Установить обновление сейчас?"));
        QTimer::singleShot(
            0, &dialog, [&] { dialog.findChild<QPushButton*>(QStringLiteral("btnYes"))->click(); });
        QCOMPARE(dialog.Ask(), 1);
        QTimer::singleShot(
            0, &dialog, [&] { dialog.findChild<QPushButton*>(QStringLiteral("btnNo"))->click(); });
        QCOMPARE(dialog.Ask(), 0);
        QTimer::singleShot(0, &dialog, [&] { dialog.close(); });  // closed without a button
        QCOMPARE(dialog.Ask(), 0);
    }

    // Texts laid out in a shown window: each fits the rectangle of its widget, in whatever
    // font stands in for the designed one on this machine.
    void yesNoShowsALongMessageWhole() {
        YesNoDialog dialog;
        const QString longText = QString::fromStdString(AlreadyDownloadedText(1234));
        for (const QString& text : {QStringLiteral("Файл 12.pckt уже загружен."), longText}) {
            dialog.SetMessage(text, QString::fromUtf8(kInstallNowQuestion));
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            auto* line1 = dialog.findChild<QLabel*>(QStringLiteral("lbLine1"));
            auto* line2 = dialog.findChild<QLabel*>(QStringLiteral("lbLine2"));
            auto* yes = dialog.findChild<QPushButton*>(QStringLiteral("btnYes"));
            const QRect needed = line1->fontMetrics().boundingRect(
                QRect(0, 0, line1->width(), 10000), Qt::TextWordWrap, line1->text());
            QVERIFY2(needed.height() <= line1->height(), qPrintable(text));
            QVERIFY(line1->geometry().bottom() < line2->geometry().top());
            QVERIFY(line2->fontMetrics().horizontalAdvance(line2->text()) <= line2->width());
            QVERIFY(line2->geometry().bottom() < yes->geometry().top());
            QVERIFY(yes->geometry().bottom() < dialog.height());
            QCOMPARE(dialog.width(), 411);
            dialog.hide();
        }
        QVERIFY(dialog.height() >= 102);
        dialog.SetMessage(QStringLiteral("Файл 12.pckt уже загружен."), QStringLiteral("?"));
        QCOMPARE(dialog.size(), QSize(411, 102));
    }

    void splashTitleFitsItsPanel() {
        SplashWindow splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QLabel* title = nullptr;
        for (QLabel* l : splash.findChildren<QLabel*>())
            if (l->text() == QStringLiteral("Справочная система лекарственных препаратов"))
                title = l;
        QVERIFY(title);
        QVERIFY(title->fontMetrics().horizontalAdvance(title->text()) <= title->width());
        QVERIFY(title->font().pixelSize() <= 13);
        QVERIFY(title->font().bold());
        const QRect onSplash(title->mapTo(&splash, QPoint(0, 0)), title->size());
        QVERIFY(splash.rect().contains(onSplash));
    }

    void installValuesAreWritten() {
        test::TempDir config;
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.str()));
        QVERIFY(WriteInstallInfo("/opt/orvanta/", "/nonexistent/orvanta"));
        QSettings registry(QStringLiteral("Norvel"), QStringLiteral("Orvanta"));
        QCOMPARE(registry.value(QStringLiteral("path")).toString(),
                 QStringLiteral("/opt/orvanta/"));
        QCOMPARE(registry.value(QStringLiteral("ver")).toString(), QStringLiteral("?.?"));
        qunsetenv("XDG_CONFIG_HOME");
    }

    void aMissingReferenceStopsTheStart() {
        test::TempDir empty;
        ProgramState state;
        ProgramWindows windows(state);
        SplashWindow splash;
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 LoadReferenceData(state, windows, splash, empty.str()));
    }

    void settingsLiveInTheControlsAndSurviveARestart() {
        test::AppFixture f;
        QCOMPARE(f.main().gbAll->ListColour(), QColor(0xFD, 0xFF, 0xEC));
        f.main().gbAll->SetListColour(QColor(0x10, 0x20, 0x30));
        QFont big = f.windows->fullDescr->TextFont();
        big.setPointSize(17);
        f.windows->fullDescr->SetTextFont(big);
        QVERIFY(f.main().close());  // confirmed: the settings are saved
        // The list's designed font, 10 pt bold, is stored in points.
        f.state.settings->Open();
        const std::string listFont = f.state.settings->GetKey("fGB", "");
        QVERIFY2(listFont.rfind("MS Sans Serif|10|1|0|0|0|", 0) == 0, listFont.c_str());
        // The reading window's system colours keep their stored (negative) form.
        QCOMPARE(f.state.settings->GetKey("cFullDispl", ""), std::string("-16777211"));
        QVERIFY(f.state.settings->GetKey("fFullDispl", "").ends_with("|-16777208"));

        ProgramState state;
        ProgramWindows windows(state);
        SplashWindow splash;
        LoadReferenceData(state, windows, splash, f.dir.str());
        QCOMPARE(windows.main->gbAll->ListColour(), QColor(0x10, 0x20, 0x30));
        QCOMPARE(windows.fullDescr->TextFont().pointSize(), 17);
    }

    void closingAnsweredNoKeepsTheWindowAndSavesNothing() {
        test::AppFixture f;
        f.main().show();
        f.main().gbAll->SetListColour(QColor(0x10, 0x20, 0x30));
        f.main().confirmClose = [] { return false; };
        QVERIFY(!f.main().close());
        QVERIFY(f.main().isVisible());
        f.state.settings->Open();
        QCOMPARE(f.state.settings->GetKey("cGB", "none"), std::string("none"));  // nothing saved
    }

    void theProgramRunsOnceAndWritesItsInstallValues() {
        const QString exe = QStringLiteral(ORVANTA_BIN_DIR "/orvanta");
        if (!QFile::exists(QStringLiteral(ORVANTA_BIN_DIR "/source.bin")))
            QSKIP("no demo reference in the binary folder");
        test::TempDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QFile::setPermissions(QString::fromStdString(home.str()), QFileDevice::ReadOwner |
                                                                      QFileDevice::WriteOwner |
                                                                      QFileDevice::ExeOwner);
        env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(home.file("tmp")));
        // The user's runtime folder holds the local server.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(home.str()));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(home.file("config")));
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(exe, {});
        QVERIFY(first.waitForStarted());
        const std::string socket = home.file(kSingleInstanceName);
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(socket), 10000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(exe, {QStringLiteral("x")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        const QString conf = QString::fromStdString(home.file("config/Norvel/Orvanta.conf"));
        auto value = [&conf](const char* key) {
            return QSettings(conf, QSettings::IniFormat).value(QString::fromLatin1(key)).toString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(value("path"), QStringLiteral(ORVANTA_BIN_DIR "/"), 10000);
        QVERIFY(value("ver").startsWith(QStringLiteral("3.")));
        first.kill();
        first.waitForFinished(5000);
    }
};

ORVANTA_APP_TEST_MAIN(ShellTest)
#include "shell_test.moc"
