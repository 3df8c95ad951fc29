// The internet update on the desktop against `orvanta-cli serve` on 127.0.0.1: the window's
// list and marks, the "already downloaded" question, the download window's cancel, and the
// program started with `update` on an empty reference.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "app/app_fixture.h"
#include "app/app_test_main.h"
#include "app/shell/background_tray.h"
#include "app/shell/local_windows.h"
#include "app/shell/yes_no_dialog.h"
#include "app/update/download_window.h"
#include "app/update/inet_update_window.h"
#include "app/update/internet_update.h"
#include "app/update/update_check.h"
#include "app/update/update_texts.h"
#include "net/download.h"
#include "net/net_texts.h"
#include "net/server_address.h"
#include "settings/settings_target.h"
#include "support/net_servers.h"
#include "support/run_command.h"
#include "update/update_lock.h"

namespace orv {
using namespace app;  // the update windows and their texts
namespace {

namespace fs = std::filesystem;
const std::string kCli = std::string(ORVANTA_BIN_DIR) + "/orvanta-cli";

int Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<int> Installed(const std::string& file) {
    Database db(file);
    std::vector<int> ids;
    Statement st = db.Prepare("select id from packets order by id");
    while (st.Step())
        ids.push_back(static_cast<int>(st.ColumnInt(0)));
    return ids;
}

// Answers the next modal window of type W with `answer` once it shows up; deleting the
// returned timer gives up waiting.
template <class W, class F>
QTimer* WhenModal(F answer) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(w);
        }
    });
    poll->start();
    return poll;
}

void ClickButton(QWidget* w, const QString& name) {
    auto* b = w->findChild<QPushButton*>(name);
    QVERIFY(b != nullptr);
    b->click();
}

}  // namespace

class InetUpdateTest : public QObject {
    Q_OBJECT
  private:
    test::TempDir* packets_ = nullptr;  // 1.pckt .. 3.pckt, made once

  private slots:
    void initTestCase() {
        test::ClearProxyEnvironment();
        packets_ = new test::TempDir;
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(
                Shell(kCli + " generate --out " + packets_->str() + " --preparations 30 --seed " +
                      std::to_string(k) + " --packet " + std::to_string(k)),
                0);
        }
    }
    void cleanupTestCase() { delete packets_; }

    void theWindowListsTheServersPacketsAndMarksTheMissingOnes() {
        test::TempDir root;
        for (int k = 1; k <= 3; ++k)
            fs::copy_file(packets_->file(std::to_string(k) + ".pckt"),
                          root.file(std::to_string(k) + ".pckt"));
        test::ServeProcess serve(root.str());
        qputenv("ORVANTA_UPDATE_SERVER", QByteArray::fromStdString(serve.address()));
        test::AppFixture f;
        f.ref().Db().Exec("insert into packets (id, dt) values (1, 45000)");
        app::InetUpdateWindow& w = *f.windows->inet->window;
        w.show();
        QTRY_COMPARE(w.lv->topLevelItemCount(), 3);
        QCOMPARE(w.sbPanel0->text(), QString::fromUtf8(kStatusReady));
        const QStringList sizes = {QString::number(fs::file_size(root.file("1.pckt"))),
                                   QString::number(fs::file_size(root.file("2.pckt"))),
                                   QString::number(fs::file_size(root.file("3.pckt")))};
        for (int i = 0; i < 3; ++i) {
            QTreeWidgetItem* item = w.lv->topLevelItem(i);
            QCOMPARE(item->text(0), QString::number(i + 1));
            QCOMPARE(item->text(1), sizes[i]);
            QCOMPARE(item->text(2), i == 0 ? QStringLiteral("подгружен") : QString());
            QCOMPARE(item->checkState(0), i == 0 ? Qt::Unchecked : Qt::Checked);
        }
        // "Пометить все" passes over the installed packet and says so.
        w.lv->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        w.Button1->click();
        QCOMPARE(w.lv->topLevelItem(0)->checkState(0), Qt::Unchecked);
        QCOMPARE(w.lv->topLevelItem(1)->checkState(0), Qt::Checked);
        QCOMPARE(w.lv->topLevelItem(2)->checkState(0), Qt::Checked);
        QCOMPARE(w.sbPanel0->text(), QStringLiteral("Пакет №1 уже установлен и пропущен."));
        // Marked by hand, it is passed over too: the run goes on to the new packets.
        w.lv->topLevelItem(0)->setCheckState(0, Qt::Checked);
        w.Button4Click();
        QCOMPARE(Installed(f.dir.file("source.bin")), (std::vector<int>{1, 2, 3}));
        QVERIFY(!fs::exists(f.dir.file("1.pckt")));  // never fetched again
        QTRY_COMPARE(w.lv->topLevelItem(2)->text(2), QStringLiteral("подгружен"));
        w.reject();
        QVERIFY(!w.isVisible());
    }

    // A background run is under way (its download arriving slowly): the decision timer again
    // (the main window shown for a partner's request), a second unseen start and the update
    // window start nothing, and orvanta-cli cannot update the same reference meanwhile.
    void oneUpdateAtATime() {
        test::TempDir small;
        QCOMPARE(Shell(kCli + " generate --out " + small.str() + " --preparations 1 --packet 1"),
                 0);
        const std::string packet = ReadAll(small.file("1.pckt"));
        test::ScriptedServer server(
            [&](const std::string& request) {
                if (request.find("mode=0") != std::string::npos)
                    return test::ScriptedServer::Answer(200, "1 " + std::to_string(packet.size()));
                return test::ScriptedServer::Answer(200, packet);
            },
            false, 2);
        qputenv("ORVANTA_UPDATE_SERVER", QByteArray::fromStdString(server.address()));
        test::AppFixture f;
        f.state.background = true;
        f.state.newestPacket = 1;
        app::InternetUpdate& inet = *f.windows->inet;
        app::InetUpdateWindow& w = *inet.window;
        QString error;
        bool ended = false;
        w.reportError = [&error](const QString& t) { error = t; };
        w.endProgram = [&ended] { ended = true; };
        bool tried = false, secondStarted = true;
        test::CommandResult cli;
        QString told;
        // Runs inside the download's wait, while the transfer goes on.
        auto* poll = new QTimer(&w);
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [&] {
            if (tried || !inet.download->Running())
                return;
            tried = true;
            inet.check->checkuTimer();
            secondStarted = w.RunUnseen();
            WhenModal<QMessageBox>([&told](QMessageBox* box) {
                told = box->text();
                box->button(QMessageBox::Ok)->click();
            });
            inet.OpenModal();
            cli = test::RunCommand("ORVANTA_UPDATE_LOCK_SECONDS=0 " + kCli + " apply --dir " +
                                       f.dir.str() + " " + small.file("1.pckt"),
                                   true);
        });
        poll->start();
        QVERIFY(w.RunUnseen());
        QTRY_VERIFY_WITH_TIMEOUT(ended || !error.isEmpty(), 60000);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(tried);
        QVERIFY(!secondStarted);
        QCOMPARE(told, QString::fromUtf8(kUpdateRunningHere));
        QCOMPARE(cli.code, 1);
        QVERIFY2(cli.out.find(kUpdateBusy) != std::string::npos, cli.out.c_str());
        QVERIFY(!w.Busy());
        QCOMPARE(Installed(f.dir.file("source.bin")), std::vector<int>{1});
        int packetRequests = 0;
        for (const std::string& r : server.Requests())
            packetRequests += r.find("mode=1") != std::string::npos ? 1 : 0;
        QCOMPARE(packetRequests, 1);
        // Once it is over, orvanta-cli gets the lock at once.
        cli = test::RunCommand("ORVANTA_UPDATE_LOCK_SECONDS=0 " + kCli + " apply --dir " +
                                   f.dir.str() + " " + small.file("1.pckt"),
                               true);
        QVERIFY2(cli.out.find("уже установлен") != std::string::npos, cli.out.c_str());
    }

    void aDeadServerClosesTheWindowWithTheConnectionError() {
        qputenv("ORVANTA_UPDATE_SERVER",
                QByteArray::fromStdString("http://127.0.0.1:" + std::to_string(test::FreePort())));
        test::AppFixture f;
        app::InetUpdateWindow& w = *f.windows->inet->window;
        QString shown;
        w.reportConnectionError = [&shown](const QString& t) { shown = t; };
        w.show();
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(shown, QString::fromUtf8(kServerConnectionFailed));
        QCOMPARE(w.sbPanel0->text(), QString::fromUtf8(kServerConnectionFailed));
    }

    // A server that accepts and says nothing: Esc aborts the list request at its next progress
    // report and the window closes with the connection error.
    void escAbortsAHangingListRequest() {
        test::AppFixture f;  // its start-up check is not the request under test
        test::ScriptedServer silent("", true);
        qputenv("ORVANTA_UPDATE_SERVER", QByteArray::fromStdString(silent.address()));
        app::InetUpdateWindow& w = *f.windows->inet->window;
        QString shown;
        w.reportConnectionError = [&shown](const QString& t) { shown = t; };
        QTimer::singleShot(600, &w, [&w] { QTest::keyClick(&w, Qt::Key_Escape); });
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 10000);
        QTRY_COMPARE(shown, QString::fromUtf8(kServerConnectionFailed));
        QCOMPARE(silent.Requests().size(), size_t{1});
    }

    // 1.pckt already on disk: "Да" installs the copy on disk (another packet 1 than the
    // server's); "Нет" downloads it again, replacing that copy, and installs the fresh one.
    void anAlreadyDownloadedPacketIsAskedAbout_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Да: from disk") << true;
        QTest::newRow("Нет: downloaded again") << false;
    }
    void anAlreadyDownloadedPacketIsAskedAbout() {
        QFETCH(bool, yes);
        test::TempDir root;
        fs::copy_file(packets_->file("1.pckt"), root.file("1.pckt"));
        test::ServeProcess serve(root.str());
        qputenv("ORVANTA_UPDATE_SERVER", QByteArray::fromStdString(serve.address()));
        test::AppFixture f;
        f.state.newestPacket = 0;  // the start-up check's offer of disk packets is another path
        const std::string onDisk = f.dir.file("1.pckt");
        // A sound packet 1 other than the server's (a damaged one is not asked about).
        QCOMPARE(Shell(kCli + " generate --out " + f.dir.str() +
                       " --preparations 5 --seed 9 --packet 1"),
                 0);
        const std::string expected = yes ? ReadAll(onDisk) : ReadAll(packets_->file("1.pckt"));
        app::InetUpdateWindow& w = *f.windows->inet->window;
        w.show();
        QTRY_COMPARE(w.lv->topLevelItemCount(), 1);
        QString line1, line2;
        WhenModal<app::YesNoDialog>([&](app::YesNoDialog* d) {
            line1 = d->findChild<QLabel*>(QStringLiteral("lbLine1"))->text();
            line2 = d->findChild<QLabel*>(QStringLiteral("lbLine2"))->text();
            ClickButton(d, yes ? QStringLiteral("btnYes") : QStringLiteral("btnNo"));
        });
        w.Button4Click();
        QCOMPARE(line1, QString::fromStdString(AlreadyDownloadedText(1)));
        QCOMPARE(line2, QString::fromUtf8(kInstallNowQuestion));
        QCOMPARE(Installed(f.dir.file("source.bin")), std::vector<int>{1});
        QCOMPARE(ReadAll(onDisk), expected);
        QCOMPARE(f.state.lastPacket, 1);
        w.reject();
    }

    // A transfer that stalls half-way is cancelled: the older 5.pckt stays as it was, the
    // partial upd.pckt stays beside it, and the caller is told.
    void cancellingADownloadKeepsTheOlderPacketFile() {
        test::ScriptedServer server(
            test::ScriptedServer::Answer(200, std::string(3000, 'x'), 100000), true);
        test::TempDir dir;
        std::ofstream(dir.file("5.pckt")) << "old";
        app::DownloadWindow w;
        DownloadRequest r;
        r.object = "orvanta/updatesquery.php?client=1&mode=5";
        r.url = server.address() + r.object;
        r.tempFile = dir.file("upd.pckt");
        r.finalFile = dir.file("5.pckt");
        r.expectedSize = 100000;
        QString question;
        // First "Нет" (the transfer goes on), then "Да".
        int asked = 0;
        std::function<void()> answerNext;
        answerNext = [&] {
            WhenModal<QMessageBox>([&](QMessageBox* box) {
                question = box->text();
                ++asked;
                if (asked == 1) {
                    answerNext();
                    box->button(QMessageBox::No)->click();
                } else {
                    box->button(QMessageBox::Yes)->click();
                }
            });
        };
        answerNext();
        QTimer::singleShot(300, &w, [&w] { w.Button1->click(); });
        QTimer::singleShot(700, &w, [&w] {
            if (w.Timer1.isActive())
                w.Button1->click();
        });
        w.DownloadFile(r);
        w.Wait(false);
        QCOMPARE(asked, 2);
        QCOMPARE(question, QString::fromUtf8(kCancelDownloadQuestion));
        QVERIFY(w.Cancelled());
        QVERIFY(!w.isVisible());
        QCOMPARE(ReadAll(dir.file("5.pckt")), std::string("old"));
        QCOMPARE(ReadAll(dir.file("upd.pckt")), std::string(3000, 'x'));
        QVERIFY(w.ProgressText().startsWith(QStringLiteral("Скачано: 2 kb из 97 kb")));
    }

    void aRefusedDownloadFailsWithItsMessage() {
        test::ScriptedServer server(test::ScriptedServer::Answer(404, "no"));
        test::TempDir dir;
        app::DownloadWindow w;
        DownloadRequest r;
        r.object = "orvanta/updatesquery.php?client=1&mode=7";
        r.url = server.address() + r.object;
        r.tempFile = dir.file("upd.pckt");
        r.finalFile = dir.file("7.pckt");
        w.DownloadFile(r);
        QString error;
        try {
            w.Wait(false);
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
        QCOMPARE(error, QString::fromUtf8(kFileNotFound) + QString::fromStdString(r.object));
        QVERIFY(!fs::exists(dir.file("upd.pckt")));
        QVERIFY(!fs::exists(dir.file("7.pckt")));
    }

    // A second after the window is shown: the offer, the settings after a failed check, or
    // nothing.
    void theDecisionTimerOffersWhatTheCheckFound_data() {
        QTest::addColumn<int>("newest");
        QTest::addColumn<bool>("checkOn");
        QTest::addColumn<QString>("question");  // empty: none asked
        QTest::addColumn<QString>("opened");
        QTest::newRow("newer packets")
            << 2 << true << QString::fromUtf8(kNewPacketsQuestion) << QStringLiteral("update");
        QTest::newRow("check failed")
            << 0 << true << QString::fromUtf8(kCheckFailedQuestion) << QStringLiteral("settings");
        QTest::newRow("check off") << 2 << false << QString() << QString();
        QTest::newRow("nothing newer") << -1 << true << QString() << QString();
    }
    void theDecisionTimerOffersWhatTheCheckFound() {
        QFETCH(int, newest);
        QFETCH(bool, checkOn);
        QFETCH(QString, question);
        QFETCH(QString, opened);
        test::AppFixture f;
        f.windows->local->Target().SetFlag(FlagControl::CheckUpdates, checkOn);
        if (newest < 0) {  // packet 1 installed, the server's newest
            f.ref().Db().Exec("insert into packets (id, dt) values (1, 45000)");
            newest = 1;
        }
        f.state.newestPacket = newest;
        app::UpdateCheck& c = *f.windows->inet->check;
        QString openedNow;
        c.openUpdate = [&] { openedNow = QStringLiteral("update"); };
        c.openSettings = [&] { openedNow = QStringLiteral("settings"); };
        QString asked;
        QPointer<QTimer> poll = WhenModal<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        c.Arm();
        QTRY_VERIFY(!c.checku.isActive());
        QTest::qWait(50);
        delete poll.data();  // still waiting when no question came
        QCOMPARE(asked, question);
        QCOMPARE(openedNow, opened);
    }

    // A build nobody pointed at a server, started without ORVANTA_UPDATE_SERVER: the start-up
    // check is skipped quietly, the decision timer asks nothing, and the update window says why
    // its list stays empty.
    void withNoServerSetNothingIsAskedAndTheWindowSaysSo() {
        const QByteArray saved = qgetenv("ORVANTA_UPDATE_SERVER");
        qunsetenv("ORVANTA_UPDATE_SERVER");
        if (!UpdateServerAddress().empty()) {
            qputenv("ORVANTA_UPDATE_SERVER", saved);
            QSKIP("this build names an update server");
        }
        test::AppFixture f;
        QVERIFY(f.windows->local->Target().Flag(FlagControl::CheckUpdates));
        QVERIFY(f.splash.StatusText().contains(QStringLiteral("  Обновление - отключено")));
        QCOMPARE(f.state.newestPacket, 0);
        app::UpdateCheck& c = *f.windows->inet->check;
        bool opened = false;
        c.openUpdate = [&] { opened = true; };
        c.openSettings = [&] { opened = true; };
        QString asked;
        QPointer<QTimer> poll = WhenModal<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            box->button(QMessageBox::No)->click();
        });
        c.Arm();
        QTRY_VERIFY(!c.checku.isActive());
        QTest::qWait(50);
        delete poll.data();
        QCOMPARE(asked, QString());
        QVERIFY(!opened);

        app::InetUpdateWindow& w = *f.windows->inet->window;
        w.show();
        QTRY_COMPARE(w.sbPanel0->text(), QString::fromUtf8(kNoServerStatus));
        QCOMPARE(w.lv->topLevelItemCount(), 0);
        QVERIFY(!w.Button4->isEnabled());
        QVERIFY(w.isVisible());
        w.reject();
        qputenv("ORVANTA_UPDATE_SERVER", saved);
    }

    void theTrayIconBlinksAndItsCloseAsksFirst() {
        app::BackgroundTray tray;
        int ended = 0;
        tray.endProcess = [&ended] { ++ended; };
        tray.Start();
        QVERIFY(!tray.HasTray());  // offscreen: progress goes to standard error
        QVERIFY(tray.IconTimer.isActive());
        QCOMPARE(tray.IconTimer.interval(), 1000);
        QCOMPARE(tray.TrayIconIndex(), 19);
        tray.IconTimerTimer();
        QCOMPARE(tray.TrayIconIndex(), 26);
        tray.IconTimerTimer();
        QCOMPARE(tray.TrayIconIndex(), 19);
        QCOMPARE(tray.pmTray->actions().size(), 1);
        QCOMPARE(tray.pmTray->actions()[0]->text(), QStringLiteral("Закрыть"));
        QString warning;
        for (auto button : {QMessageBox::Cancel, QMessageBox::Ok}) {
            WhenModal<QMessageBox>([&warning, button](QMessageBox* box) {
                warning = box->text();
                box->button(button)->click();
            });
            tray.pmTray->actions()[0]->trigger();
            QCOMPARE(ended, button == QMessageBox::Ok ? 1 : 0);
        }
        QCOMPARE(warning, QStringLiteral("Закрытие программы во время обновления может привести к "
                                         "повреждению данных."));
    }

    // The program itself, started with `update` where no tray exists (offscreen).
    void backgroundRun_data() {
        QTest::addColumn<bool>("serverUp");
        QTest::addColumn<bool>("brokenSecond");
        QTest::addColumn<bool>("serverSet");
        QTest::newRow("every packet applied") << true << false << true;
        QTest::newRow("server down: a failure") << false << false << true;
        QTest::newRow("broken packet 2: stops with its message") << true << true << true;
        QTest::newRow("no server set: says so, asks nobody") << false << false << false;
    }
    void backgroundRun() {
        QFETCH(bool, serverUp);
        QFETCH(bool, brokenSecond);
        QFETCH(bool, serverSet);
        if (!serverSet && !BuiltInServerAddress().empty())
            QSKIP("this build names an update server");
        test::TempDir prog, root, home;
        fs::copy_file(std::string(ORVANTA_BIN_DIR) + "/orvanta", prog.file("orvanta"),
                      fs::copy_options::overwrite_existing);
        QCOMPARE(Shell(kCli + " init --dir " + prog.str()), 0);
        for (int k = 1; k <= 3; ++k)
            fs::copy_file(packets_->file(std::to_string(k) + ".pckt"),
                          root.file(std::to_string(k) + ".pckt"));
        if (brokenSecond)
            std::ofstream(root.file("2.pckt"), std::ios::trunc) << "not a packet";
        std::unique_ptr<test::ServeProcess> serve;
        std::string address = "http://127.0.0.1:" + std::to_string(test::FreePort()) + "/";
        if (serverUp) {
            serve = std::make_unique<test::ServeProcess>(root.str());
            address = serve->address();
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(home.str()));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(home.file("config")));
        env.insert(QStringLiteral("ORVANTA_UPDATE_SERVER"), QString::fromStdString(address));
        if (!serverSet)
            env.remove(QStringLiteral("ORVANTA_UPDATE_SERVER"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QString::fromStdString(prog.file("orvanta")), {QStringLiteral("UPDATE")});
        QVERIFY(p.waitForFinished(120000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        if (brokenSecond) {
            // No tray to stay in: the message goes to standard error and the run ends.
            QVERIFY2(p.exitCode() == 1, qPrintable(err));
            QCOMPARE(Installed(prog.file("source.bin")), std::vector<int>{1});
            // The garbage never becomes 2.pckt; packet 1, fetched before it, is installed.
            QVERIFY2(err.contains(QStringLiteral("Пакет №2 получен с сервера повреждённым.")),
                     qPrintable(err));
            QVERIFY(!fs::exists(prog.file("2.pckt")));
            QVERIFY(!err.contains(QStringLiteral("Пакет №2 - OK")));
            return;
        }
        const std::string log = ReadAll(prog.file("update.log"));
        QVERIFY2(log.find("Начало обновления (orvanta update)") != std::string::npos, log.c_str());
        if (serverSet && !serverUp) {
            // The start-up check failed: logged, and the scheduler sees a failure.
            QVERIFY2(p.exitCode() == 1, qPrintable(err));
            QVERIFY2(log.find("Проверка обновлений не удалась: ") != std::string::npos,
                     log.c_str());
            QVERIFY2(log.find("Конец обновления, код 1") != std::string::npos, log.c_str());
            QVERIFY2(err.contains(QStringLiteral("Проверка обновлений не удалась")),
                     qPrintable(err));
            QCOMPARE(Installed(prog.file("source.bin")), std::vector<int>{});
            return;
        }
        QVERIFY2(p.exitCode() == 0, qPrintable(err));
        QVERIFY2(log.find("Конец обновления, код 0") != std::string::npos, log.c_str());
        if (!serverSet)
            QVERIFY2(err.contains(QString::fromUtf8(kNoServerSet)), qPrintable(err));
        if (serverUp) {
            QCOMPARE(Installed(prog.file("source.bin")), (std::vector<int>{1, 2, 3}));
            QVERIFY2(err.contains(QStringLiteral("Пакет №3 - OK")), qPrintable(err));
            for (int k = 1; k <= 3; ++k) {
                QVERIFY(fs::exists(prog.file(std::to_string(k) + ".pckt")));
                const std::string n = std::to_string(k);
                QVERIFY2(log.find("Пакет №" + n + " загружен: " +
                                  std::to_string(fs::file_size(prog.file(n + ".pckt"))) +
                                  " байт за ") != std::string::npos,
                         log.c_str());
                QVERIFY2(log.find("Пакет №" + n + " установлен: ") != std::string::npos,
                         log.c_str());
            }
            QVERIFY2(log.find("На сервере последний пакет №3") != std::string::npos, log.c_str());
        }
    }

    // A reference that cannot be opened ends the unattended run at its start: on standard
    // error, in the log, with code 1 for the scheduler.
    void backgroundRunFailsToStart_data() {
        QTest::addColumn<QByteArray>("database");
        QTest::newRow("not a database") << QByteArray(4096, 'z');
        QTest::newRow("a database without tables") << QByteArray();
    }
    void backgroundRunFailsToStart() {
        QFETCH(QByteArray, database);
        test::TempDir prog, home;
        fs::copy_file(std::string(ORVANTA_BIN_DIR) + "/orvanta", prog.file("orvanta"));
        std::ofstream(prog.file("source.bin"), std::ios::binary)
            .write(database.constData(), database.size());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(home.str()));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(home.file("config")));
        env.insert(QStringLiteral("ORVANTA_UPDATE_SERVER"), QStringLiteral("http://127.0.0.1:9/"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QString::fromStdString(prog.file("orvanta")), {QStringLiteral("update")});
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == 1, qPrintable(err));
        QVERIFY(!err.isEmpty());
        const std::string log = ReadAll(prog.file("update.log"));
        QVERIFY2(log.find("Начало обновления (orvanta update)") != std::string::npos, log.c_str());
        // The reason in the log is the one on standard error.
        const std::string mark = "Ошибка: ";
        const size_t at = log.find(mark);
        QVERIFY2(at != std::string::npos, log.c_str());
        const size_t from = at + mark.size();
        const std::string reason = log.substr(from, log.find('\n', from) - from);
        QVERIFY2(!reason.empty() && err.contains(QString::fromStdString(reason)),
                 qPrintable(err + " / " + QString::fromStdString(log)));
        QVERIFY2(log.find("Конец обновления, код 1") > at, log.c_str());
    }

    // SIGTERM while the unattended run gets a packet that arrives a byte at a time: it ends at
    // the next step with 143, logged, nothing recorded, no packet file made.
    void backgroundRunEndsOnSigterm() {
        const std::string packet = ReadAll(packets_->file("1.pckt"));
        QVERIFY(packet.size() > 5000);  // long enough to be caught arriving
        test::ScriptedServer server(
            [&](const std::string& request) {
                if (request.find("mode=0") != std::string::npos)
                    return test::ScriptedServer::Answer(200, "1 " + std::to_string(packet.size()));
                return test::ScriptedServer::Answer(200, packet);
            },
            false, 2);
        test::TempDir prog, home;
        fs::copy_file(std::string(ORVANTA_BIN_DIR) + "/orvanta", prog.file("orvanta"));
        QCOMPARE(Shell(kCli + " init --dir " + prog.str()), 0);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(home.str()));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(home.file("config")));
        env.insert(QStringLiteral("ORVANTA_UPDATE_SERVER"),
                   QString::fromStdString(server.address()));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QString::fromStdString(prog.file("orvanta")), {QStringLiteral("update")});
        QString err;
        for (int i = 0; i < 600 && !err.contains(QStringLiteral("Скачиваем пакет №1...")); ++i) {
            p.waitForReadyRead(100);
            err += QString::fromUtf8(p.readAllStandardError());
        }
        QVERIFY2(err.contains(QStringLiteral("Скачиваем пакет №1...")), qPrintable(err));
        p.terminate();
        QVERIFY(p.waitForFinished(30000));
        err += QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == 143, qPrintable(err));
        const std::string log = ReadAll(prog.file("update.log"));
        QVERIFY2(log.find("Обновление прервано сигналом SIGTERM.") != std::string::npos,
                 log.c_str());
        QVERIFY2(log.find("Конец обновления, код 143") != std::string::npos, log.c_str());
        QCOMPARE(Installed(prog.file("source.bin")), std::vector<int>{});
        QVERIFY(!fs::exists(prog.file("1.pckt")));
    }
};

}  // namespace orv

ORVANTA_APP_TEST_MAIN(orv::InetUpdateTest)
#include "inet_update_test.moc"
