// The packet windows on a real reference: a run from a chosen file with its progress and Stop,
// refused files, packets found on disk, and the statistics window.
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "app/app_test_main.h"
#include "app/modal_helpers.h"
#include "app/update/check_update_files.h"
#include "app/update/packet_run_window.h"
#include "app/update/packet_stats_window.h"
#include "app/update/update_host.h"
#include "app/update/update_window.h"
#include "db/database.h"
#include "db/reference.h"
#include "support/fixture_reference.h"
#include "support/packet_builder.h"

using orv::app::PacketRunWindow;
using orv::test::AnswerNextBox;

namespace {

class Host : public orv::app::UpdateHost {
  public:
    explicit Host(orv::Reference& r) : ref(r) {}
    orv::Reference& ref;
    bool attached = true;
    bool paused = false;
    QStringList entries;
    int last = 0;
    int newest = 0;
    int total = 0;
    bool background = false;
    int redraws = 0;
    int rowsChanged = 0;
    QStringList statuses;

    orv::Reference& Ref() override { return ref; }
    QWidget* Window() override { return nullptr; }
    void ShowStatus(const QString& text) override { statuses << text; }
    void SetListAttached(bool on) override { attached = on; }
    void SetRecordCounterPaused(bool on) override { paused = on; }
    void ListReopened() override {}
    void RowsChanged() override { ++rowsChanged; }
    void ShowCurrentDescription() override { ++redraws; }
    void PacketsChanged(const QStringList& e, int lastInstalled) override {
        entries = e;
        last = lastInstalled;
    }
    void SetTotalPreparations(int t) override { total = t; }
    int TotalPreparations() const override { return total; }
    int LastInstalledPacket() const override { return last; }
    int NewestAvailablePacket() const override { return newest; }
    bool BackgroundMode() const override { return background; }
    void OpenInternetUpdate() override {}
};

// Runs `step` every few milliseconds until it returns true (or 10 s pass).
void Poll(std::function<bool()> step) {
    auto* t = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(t, &QTimer::timeout, [t, step, ticks] {
        if (step() || ++*ticks > 2000) {
            t->stop();
            t->deleteLater();
        }
    });
    t->start(5);
}

std::int64_t Count(const std::string& path, const std::string& sql) {
    orv::Database db(path);
    auto st = db.Prepare(sql);
    st.Step();
    return st.ColumnInt(0);
}

std::vector<std::string> Preparations(int from, int count) {
    std::vector<std::string> lines;
    for (int id = from; id < from + count; ++id)
        lines.push_back(orv::test::PrepLine(id, "Препарат " + std::to_string(id)));
    return lines;
}

}  // namespace

class PacketWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<orv::test::FixtureReference> fixture;
    std::unique_ptr<orv::Reference> ref;
    std::unique_ptr<Host> host;
    std::unique_ptr<PacketRunWindow> engine;

    std::string Dir() const { return fixture->dir.str(); }

  private slots:
    void init() {
        fixture = std::make_unique<orv::test::FixtureReference>();
        fixture->Add({{1, "Анальгин", "", 0, 0}, {2, "Но-шпа", "", 0, 0}});
        ref = std::make_unique<orv::Reference>(Dir());
        // The user's narrowed list, on its second row.
        ref->qMain.SetSql("select * from b where id in (1, 2) order by pname");
        ref->qMain.Open();
        ref->qMain.Locate("id", orv::Value{std::int64_t{2}});
        host = std::make_unique<Host>(*ref);
        engine = std::make_unique<PacketRunWindow>(*host);
    }
    void cleanup() {
        orv::test::CancelPendingAnswers();
        engine.reset();
        host.reset();
        ref.reset();
        fixture.reset();
    }

    void runFromFileWithStopNoYesAndRerun() {
        const std::string path = fixture->dir.file("upd1.pckt");
        orv::test::WritePacket(path, 1, Preparations(100, 20));
        engine->SetStepLimit(1);  // one line per tick: 0, 5, 10 ... 95 %
        orv::app::UpdateWindow window(*host, *engine);
        window.SetFileChooser([&](QWidget*) { return QString::fromStdString(path); });

        QStringList seen;
        bool hiddenDuringRun = false;
        std::shared_ptr<orv::test::SeenBox> no;
        std::shared_ptr<orv::test::SeenBox> yes;
        int stage = 0;
        Poll([&] {
            if (!engine->isVisible())
                return false;
            if (!seen.contains(engine->GB1->title()))
                seen << engine->GB1->title();
            hiddenDuringRun = !host->attached && host->paused;
            if (stage == 0 && engine->PBar2->value() >= 20) {
                no = AnswerNextBox(QMessageBox::No);
                engine->Button1->click();
                stage = 1;
                return false;
            }
            if (stage == 1 && engine->PBar2->value() >= 50) {
                yes = AnswerNextBox(QMessageBox::Yes);
                engine->Button1->click();
                return true;
            }
            return false;
        });
        window.Button2Click();

        QVERIFY(no && no->seen);
        QCOMPARE(no->title, QString("Подтверждение"));
        QCOMPARE(no->text, QString("Остановить обновление?"));
        QCOMPARE(no->icon, QMessageBox::Question);
        QVERIFY(yes && yes->seen);
        QVERIFY(hiddenDuringRun);
        QVERIFY(seen.size() >= 3);  // the progress moved, and went on after "No"
        QVERIFY(!seen.contains("Готово 95%"));
        QCOMPARE(engine->windowTitle(), QString("Подгрузка пакета №1"));
        const auto written = Count(fixture->path(), "select count(*) from b where status = 1");
        QVERIFY(written >= 10 && written < 20);  // rows written before the stop stay
        QCOMPARE(Count(fixture->path(), "select count(*) from packets"), 0);
        // The counter's total follows the rows written, or a narrowed list would show.
        QCOMPARE(host->total, static_cast<int>(Count(fixture->path(), "select count(*) from b")));
        // The list is back as the user left it.
        QVERIFY(host->attached);
        QVERIFY(!host->paused);
        QCOMPARE(ref->qMain.Sql(),
                 std::string("select * from b where id in (1, 2) order by pname"));
        QCOMPARE(ref->qMain.AsInteger("id"), 2);

        // The same file again finishes the work and records the packet.
        engine->SetStepLimit(static_cast<size_t>(-1));
        window.Button2Click();
        QCOMPARE(Count(fixture->path(), "select count(*) from b where status = 1"), 20);
        QCOMPARE(Count(fixture->path(), "select count(*) from packets where id = 1"), 1);
        QCOMPARE(host->last, 1);
        QCOMPARE(host->entries.size(), 1);
        QVERIFY(host->entries[0].startsWith("1 ("));
        QCOMPARE(host->total, 22);
        QCOMPARE(window.dxDBGrid1->topLevelItemCount(), 1);
        QCOMPARE(window.dxDBGrid1->topLevelItem(0)->text(0), QString("1"));
        QCOMPARE(ref->qMain.Sql(),
                 std::string("select * from b where id in (1, 2) order by pname"));
        QCOMPARE(ref->qMain.AsInteger("id"), 2);
    }

    void refusedFiles_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("packet");
        QTest::addColumn<QString>("message");
        QTest::newRow("out of order") << 3 << true
                                      << "Установка невозможна, не все предыдущие пакеты "
                                         "установлены.";
        QTest::newRow("installed") << 1 << true << "Пакет №1 уже установлен.";
        QTest::newRow("not a packet") << 0 << false << "Error.";
    }
    void refusedFiles() {
        QFETCH(int, number);
        QFETCH(bool, packet);
        QFETCH(QString, message);
        fixture->Exec("insert into packets (id, dt) values (1, 46000.5)");
        const std::string path = fixture->dir.file("chosen.pckt");
        if (packet) {
            orv::test::WritePacket(path, number, Preparations(100, 3));
        } else {
            fixture->Exec("select 1");
            FILE* f = fopen(path.c_str(), "wb");
            fputs("not a packet at all", f);
            fclose(f);
        }
        orv::app::UpdateWindow window(*host, *engine);
        window.SetFileChooser([&](QWidget*) { return QString::fromStdString(path); });
        auto box = AnswerNextBox(QMessageBox::Ok);
        window.Button2Click();
        QVERIFY(box->seen);
        QCOMPARE(box->text, message);
        QCOMPARE(box->icon, QMessageBox::Critical);
        QCOMPARE(Count(fixture->path(), "select count(*) from b"), 2);
        QCOMPARE(ref->qMain.AsInteger("id"), 2);
        QVERIFY(host->attached);
    }

    void cancelledFileDialogDoesNothing() {
        orv::app::UpdateWindow window(*host, *engine);
        window.SetFileChooser([](QWidget*) { return QString(); });
        window.Button2Click();
        QCOMPARE(ref->qMain.AsInteger("id"), 2);
        QCOMPARE(host->redraws, 0);
    }

    void diskPacketsStopAtTheFirstGap() {
        for (int n = 1; n <= 3; ++n)
            fixture->Exec("insert into packets (id, dt) values (" + std::to_string(n) + ", 46000)");
        orv::test::WritePacket(Dir() + "4.pckt", 4, Preparations(100, 2));
        orv::test::WritePacket(Dir() + "6.pckt", 6, Preparations(200, 2));
        host->last = 3;
        host->newest = 6;

        auto no = AnswerNextBox(QMessageBox::No);
        orv::app::CheckUpdateFiles(*host, *engine);
        QVERIFY(no->seen);
        QCOMPARE(Count(fixture->path(), "select count(*) from packets"), 3);

        auto yes = AnswerNextBox(QMessageBox::Yes);
        auto second = std::make_shared<orv::test::SeenBox>();
        orv::app::CheckUpdateFiles(*host, *engine);
        QVERIFY(yes->seen);
        QCOMPARE(yes->title, QString("Пакет обновления 4.pckt"));
        QCOMPARE(
            yes->text,
            QString("На диске найдены, ещё неустановленные, пакеты обновления, обновить сейчас?"));
        QCOMPARE(Count(fixture->path(), "select count(*) from packets where id = 4"), 1);
        QCOMPARE(Count(fixture->path(), "select count(*) from packets where id > 4"), 0);
        QCOMPARE(Count(fixture->path(), "select count(*) from b where id >= 200"), 0);
        QCOMPARE(host->last, 4);
        QCOMPARE(ref->qMain.AsInteger("id"), 2);
    }

    void updateWindowOffersDiskPacketsWhenShown() {
        orv::test::WritePacket(Dir() + "1.pckt", 1, Preparations(100, 2));
        host->newest = 1;
        orv::app::UpdateWindow window(*host, *engine);
        auto yes = AnswerNextBox(QMessageBox::Yes);
        int rowsSeen = -1;
        Poll([&] {
            if (!window.isVisible() || !yes->seen || engine->isVisible())
                return false;
            rowsSeen = window.dxDBGrid1->topLevelItemCount();
            if (rowsSeen == 0)
                return false;
            window.Button3->click();
            return true;
        });
        window.exec();
        QVERIFY(yes->seen);
        QCOMPARE(rowsSeen, 1);
        QCOMPARE(Count(fixture->path(), "select count(*) from packets where id = 1"), 1);
    }

    void diskPacketsNotOfferedWithoutNewest() {
        orv::test::WritePacket(Dir() + "1.pckt", 1, Preparations(100, 2));
        host->newest = 0;
        auto box = AnswerNextBox(QMessageBox::Yes);
        orv::app::CheckUpdateFiles(*host, *engine);
        QTest::qWait(30);
        QVERIFY(!box->seen);
        QCOMPARE(Count(fixture->path(), "select count(*) from packets"), 0);
    }

    void backgroundInstallsWithoutAsking() {
        orv::test::WritePacket(Dir() + "1.pckt", 1, Preparations(100, 2));
        orv::test::WritePacket(Dir() + "2.pckt", 2, Preparations(200, 2));
        host->newest = 2;
        host->background = true;
        auto box = AnswerNextBox(QMessageBox::No);
        orv::app::CheckUpdateFiles(*host, *engine);
        QVERIFY(!box->seen);
        QVERIFY(!engine->isVisible());
        QCOMPARE(Count(fixture->path(), "select count(*) from packets"), 2);
        QCOMPARE(host->last, 2);
        QCOMPARE(host->rowsChanged, 2);  // each run announces its rows
    }

    void statisticsAndShow() {
        orv::app::PacketStatsWindow stats(*host);
        // No packets: an empty list, and "Показать" asks nothing.
        QTimer::singleShot(0, &stats, [&] {
            auto box = AnswerNextBox(QMessageBox::Yes);
            stats.Button1->click();
            QTest::qWait(30);
            QVERIFY(!box->seen);
            QCOMPARE(stats.ListView1->topLevelItemCount(), 0);
            stats.Button2->click();
        });
        stats.Open();
        QCOMPARE(host->statuses,
                 (QStringList{"Сбор данных, подождите пожалуйста ...", "Пакеты обновления"}));

        orv::test::WritePacket(Dir() + "1.pckt", 1, Preparations(100, 3));
        orv::test::WritePacket(Dir() + "2.pckt", 2,
                               {orv::test::PrepLine(100, "Препарат 100 новый", {}, true)});
        host->newest = 2;
        orv::test::CancelPendingAnswers();
        auto yes = AnswerNextBox(QMessageBox::Yes);
        orv::app::CheckUpdateFiles(*host, *engine);
        QVERIFY(yes->seen);
        host->total = 5;

        std::shared_ptr<orv::test::SeenBox> ask;
        QStringList rows;
        QTimer::singleShot(0, &stats, [&] {
            for (int i = 0; i < stats.ListView1->topLevelItemCount(); ++i) {
                auto* it = stats.ListView1->topLevelItem(i);
                rows << it->text(0) + "/" + it->text(2);
            }
            ask = AnswerNextBox(QMessageBox::Yes);
            stats.ListView1->setCurrentItem(stats.ListView1->topLevelItem(0));
            stats.Button1->click();
        });
        host->redraws = 0;
        stats.Open();
        QCOMPARE(stats.Label1->text(), QString("В базе 5 записей."));
        QCOMPARE(rows, (QStringList{"1/2", "2/1"}));  // 100 belongs to packet 2 now
        QVERIFY(ask && ask->seen);
        QCOMPARE(ask->text, QString("Показать пакет обновления №1?"));
        QCOMPARE(ref->qMain.RecordCount(), 2);
        QCOMPARE(host->redraws, 1);
        QVERIFY(!stats.isVisible());
    }
};

ORVANTA_APP_TEST_MAIN(PacketWindowsTest)
#include "packet_windows_test.moc"
