// The main window's keys as a user presses them: real X11 key events (Xvfb + xdotool) rather
// than QTest's synthetic ones, which reach the shortcut map by another path. The test starts
// its own X server on a free display; it is skipped when Xvfb or xdotool is missing.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <memory>

#include "app/app_fixture.h"
#include "app/display/description_controller.h"
#include "app/display/description_view.h"
#include "app/display/field_panes.h"
#include "app/display/full_description_window.h"
#include "app/lists/list_views.h"
#include "app/lists/lists_controller.h"
#include "app/lists/record_counter.h"
#include "app/search/filter_edit.h"
#include "app/search/filter_panel.h"
#include "app/search/quick_filter_controller.h"
#include "app/search/suggestion_popup.h"

extern char** environ;

using namespace orv;
using namespace orv::app;

namespace {

constexpr int kSkipped = 77;

// Xvfb on the first free display, as it reports it through -displayfd.
struct XServer {
    pid_t pid = -1;
    QString display;

    bool Start(const QString& xvfb) {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        const std::string exe = xvfb.toStdString(), fd = std::to_string(fds[1]);
        std::vector<std::string> args{exe, "-displayfd",   fd,          "-screen",
                                      "0", "1280x1024x24", "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int rc = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            pid = -1;
            return false;
        }
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c;
        while (poll(&p, 1, 15000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty())
            return false;
        display = QStringLiteral(":") + QString::fromStdString(number);
        return true;
    }
    ~XServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

QString g_xdotool;

}  // namespace

class X11KeysTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> f;
    MainWindow& w() { return f->main(); }
    QString Current() { return QString::fromStdString(f->CurrentName()); }

    // Runs xdotool with the event loop turning, so that windows it opens can be answered too.
    static void Xdotool(const QStringList& args) {
        QProcess p;
        p.start(g_xdotool, args);
        QVERIFY(p.waitForStarted());
        for (int waited = 0; p.state() != QProcess::NotRunning && waited < 20000; waited += 10)
            QTest::qWait(10);
        QCOMPARE(p.exitCode(), 0);
        QTest::qWait(150);  // the last key's events
    }
    static void Keys(const QStringList& keys) {
        Xdotool(
            QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80")} +
            keys);
    }
    static void KeysIntoTheWindowOpenedBy(const QString& opener, const QStringList& keys) {
        const QStringList key{QStringLiteral("key"), QStringLiteral("--delay"),
                              QStringLiteral("80")};
        Xdotool(key + QStringList{opener, QStringLiteral("sleep"), QStringLiteral("2")} + key +
                keys);
    }
    void Activate(QWidget* focus) {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        focus->setFocus();
        QTRY_VERIFY(focus->hasFocus());
    }

  private slots:
    void init() {
        f = std::make_unique<test::AppFixture>();
        f->ShowMain();
    }
    void cleanup() { f.reset(); }

    void keypadAndShiftArrowsScrollThePageOnly() {
        Activate(w().gbAll);  // activation redraws the page: first
        f->ref().qMain.Locate("pname", Value{std::string("Аспирин")});
        w().lists->FollowList();
        w().descriptionView->wb->setHtml(QString(QStringLiteral("строка<br>")).repeated(400));
        QScrollBar* bar = w().descriptionView->wb->verticalScrollBar();
        bar->setValue(0);
        Keys({QStringLiteral("KP_Add")});
        QCOMPARE(bar->value(), 100);
        Keys({QStringLiteral("shift+Down")});
        QCOMPARE(bar->value(), 200);
        Keys({QStringLiteral("KP_Subtract"), QStringLiteral("shift+Up")});
        QCOMPARE(bar->value(), 0);
        // The main-row keys are not the keypad's.
        Keys({QStringLiteral("KP_Add"), QStringLiteral("minus"), QStringLiteral("plus")});
        QCOMPARE(bar->value(), 100);
        QCOMPARE(Current(), QStringLiteral("Аспирин"));  // the list did not move
        // In the filter box both minus keys type a minus.
        Activate(w().pnFilter->edFilter);
        Keys({QStringLiteral("minus"), QStringLiteral("KP_Subtract")});
        QCOMPARE(w().pnFilter->edFilter->text(), QStringLiteral("--"));
        QCOMPARE(bar->value(), 100);
    }

    void functionKeysReachTheirCommands() {
        QStringList replies;
        int extSearch = 0;
        w().hooks.partnerReply = [&](const char* code) { replies << QString::fromLatin1(code); };
        w().hooks.openExtSearchDialog = [&] { ++extSearch; };
        f->ref().qMain.Locate("pname", Value{std::string("Аспирин")});
        w().lists->FollowList();
        Activate(w().gbAll);

        Keys({QStringLiteral("ctrl+F2")});
        QCOMPARE(w().pc1->currentIndex(), 1);
        Keys({QStringLiteral("ctrl+F1")});
        QCOMPARE(w().pc1->currentIndex(), 0);
        const std::pair<const char*, int> pages[] = {
            {"ctrl+F4", 1}, {"ctrl+F5", 2}, {"ctrl+F3", 0}};
        for (const auto& [key, page] : pages) {
            Keys({QString::fromLatin1(key)});
            QCOMPARE(w().pc2->currentIndex(), page);
        }
        Activate(w().gbAll);
        Keys({QStringLiteral("shift+F2")});
        QCOMPARE(extSearch, 1);
        QVERIFY(!w().reading->isVisible());
        Keys({QStringLiteral("F9"), QStringLiteral("F10"), QStringLiteral("Escape")});
        QCOMPARE(replies, (QStringList{"00", "01", "00"}));

        // Shift+F1 shows everything after a narrowed list.
        w().filter->FilterTableName(QStringLiteral("Аспирин"));
        QCOMPARE(f->ref().qMain.RecordCount(), 1);
        Activate(w().gbAll);
        Keys({QStringLiteral("shift+F1")});
        QTRY_COMPARE(f->ref().qMain.RecordCount(), 8);

        // Field keys open their pane full screen; keypad + enlarges it there; Esc closes it.
        f->ref().qMain.Locate("pname", Value{std::string("Аспирин")});
        w().lists->FollowList();
        w().description->gbAllClick();
        Activate(w().gbAll);
        QStringList shown;
        int firstFont = 0;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            FullDescriptionWindow* r = w().reading;
            if (!r->isVisible())
                return;
            if (shown.isEmpty())
                firstFont = r->Memo1->font().pointSize();
            if (shown.isEmpty() || shown.back() != r->Memo1->toPlainText())
                shown << r->Memo1->toPlainText();
        });
        watch.start();
        // The window holds the event loop once it is open, so the keys meant for it are sent
        // by the same xdotool run, after a pause in which a loaded machine opens it.
        KeysIntoTheWindowOpenedBy(
            QStringLiteral("F4"),
            {QStringLiteral("KP_Add"), QStringLiteral("KP_Add"), QStringLiteral("Escape")});
        QTRY_VERIFY(!w().reading->isVisible());
        Activate(w().gbAll);  // back from a window of ours: the list is on its first row
        QCOMPARE(Current(), QStringLiteral("Амоксициллин"));
        KeysIntoTheWindowOpenedBy(QStringLiteral("shift+F3"), {QStringLiteral("Escape")});
        QTRY_VERIFY(!w().reading->isVisible());
        watch.stop();
        QCOMPARE(shown, (QStringList{QStringLiteral("Боль слабой и умеренной интенсивности.\n"
                                                    "Лихорадка."),
                                     QStringLiteral("Амоксициллин 500 мг.")}));
        QVERIFY(firstFont > 0);
        QCOMPARE(w().reading->Memo1->font().pointSize(), firstFont + 2);
        QCOMPARE(replies.size(), 3);  // Esc in the reading window is its own
    }

    // A list whose rows come slowly: PageDown and End go over rows not read yet, to the
    // statement's rows in its order, and the counter never shows a count it does not have.
    void movingKeysReachRowsStillBeingRead() {
        Reference& ref = f->ref();
        {
            Transaction t(ref.Db());
            Statement st = ref.Db().Prepare("insert into b (id, pname) values (?, ?)");
            for (int id = 1000; id < 2500; ++id) {
                st.Reset();
                st.Bind(1, std::int64_t{id});
                st.Bind(2, "Препарат " + std::to_string(id));
                st.Step();
            }
            t.Commit();
        }
        f->state.totalPreparations = ref.TotalPreparations();
        // Each row costs the reader a long made-up text: a second or so for the whole list.
        const std::string sql =
            "select * from b where length(hex(randomblob(150000))) > 0 order by id";
        std::vector<std::int64_t> ids;
        {
            Statement st = ref.Db().Prepare("select id from b order by id");
            while (st.Step())
                ids.push_back(st.ColumnInt(0));
        }
        DataSet& list = ref.qMain;
        list.SetBatchRows(20, 100);
        auto open = [&] {
            list.SetSql(sql);
            list.Open();
            w().lists->ListReopened();
        };
        Activate(w().gbAll);

        open();
        QVERIFY(list.Loading());
        w().counter->RecCountTimer();
        QCOMPARE(w().pnFilter->RecC->text(), QStringLiteral("… / %1").arg(ids.size()));
        Keys({QStringLiteral("Next"), QStringLiteral("Next"), QStringLiteral("Next")});
        const int row = w().gbAll->currentIndex().row();
        QVERIFY2(row > 40, qPrintable(QString::number(row)));  // past the first batch
        QCOMPARE(list.RecNo(), row);
        QCOMPARE(list.AsInteger("id"), ids[static_cast<size_t>(row)]);

        open();
        Keys({QStringLiteral("End")});
        QCOMPARE(w().gbAll->currentIndex().row(), static_cast<int>(ids.size()) - 1);
        QCOMPARE(list.AsInteger("id"), ids.back());
        QVERIFY(!list.Loading());
        w().counter->RecCountTimer();
        QCOMPARE(w().pnFilter->RecC->text(), QStringLiteral("%1 / %1").arg(ids.size()));
        list.SetBatchRows(DataSet::kFirstRows, DataSet::kBatchRows);
    }

    void enterOnTheNoWordsBoxDoesNotSearchAgain() {
        w().pnFilter->usearch->setChecked(true);
        Activate(w().pnFilter->edFilter);
        w().pnFilter->edFilter->setText(QStringLiteral("   "));
        QTest::qWait(600);  // the locate of the typed text is over
        // Counts the boxes as they come up; a box that comes back is closed here, or the test
        // would hang in it.
        QStringList boxes;
        QPointer<QMessageBox> open;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == open)
                return;
            open = box;
            if (!box)
                return;
            boxes << box->text();
            if (boxes.size() > 1)
                box->reject();
        });
        watch.start();
        // One xdotool run: the program's Enter opens a box that holds the event loop until
        // it is closed, so the second Enter cannot wait for the first call to return.
        Xdotool({QStringLiteral("key"), QStringLiteral("Return"), QStringLiteral("sleep"),
                 QStringLiteral("1"), QStringLiteral("key"), QStringLiteral("Return")});
        QTest::qWait(1500);  // a reopened box would be up by now
        watch.stop();
        QCOMPARE(boxes, QStringList{QStringLiteral("Необходимо ввести критерии поиска!")});
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(w().pnFilter->edFilter->text(), QStringLiteral("   "));
    }

    void enterRightAfterTypingKeepsTheSearchStatus() {
        w().pnFilter->usearch->setChecked(true);
        Activate(w().pnFilter->edFilter);
        Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("80"),
                 QStringLiteral("ж")});  // the key map warm-up, as below
        w().pnFilter->edFilter->clear();
        QTest::qWait(600);
        // Enter comes while the locate of the typed text is still due; no name begins with it.
        Keys({QStringLiteral("Cyrillic_te"), QStringLiteral("Cyrillic_a"),
              QStringLiteral("Cyrillic_ve"), QStringLiteral("Cyrillic_ie"),
              QStringLiteral("Return")});
        QCOMPARE(w().pnFilter->edFilter->text(), QStringLiteral("таве"));
        // Дротаверин and Но-шпа, whose synonym it is.
        QTRY_COMPARE(w().StatusText(), QStringLiteral("Запрос выполнен. Найдено 2"));
        QTest::qWait(1000);
        QCOMPARE(w().StatusText(), QStringLiteral("Запрос выполнен. Найдено 2"));
        QCOMPARE(f->ref().qMain.RecordCount(), 2);
    }

    void cyrillicTypedInTheListGoesToTheFilterBox() {
        // xdotool maps Cyrillic onto a spare key code as it types; the first such change of
        // the X key map can overtake the program's reading of it. Warm up with one letter.
        Activate(w().pnFilter->edFilter);
        Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("80"),
                 QStringLiteral("ж")});
        w().pnFilter->edFilter->clear();
        Activate(w().gbAll);
        Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("80"),
                 QStringLiteral("пара")});
        QCOMPARE(w().pnFilter->edFilter->text(), QStringLiteral("пара"));
        QTRY_COMPARE_WITH_TIMEOUT(Current(), QStringLiteral("Парацетамол"), 3000);
    }

    void mistypedNamesWithRealKeysAndMouse() {
        int replies = 0;
        w().hooks.partnerReply = [&](const char*) { ++replies; };
        FilterEdit* box = w().pnFilter->edFilter;
        SuggestionPopup* popup = w().filter->Suggestions();
        const auto type = [](const QString& text) {
            Xdotool(
                {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("80"), text});
        };
        Activate(box);
        type(QStringLiteral("ж"));  // the key map's first Cyrillic change (see above)
        box->clear();

        // The wrong layout: located silently, the box keeps what was typed.
        type(QStringLiteral("yj-igf"));
        QTRY_COMPARE_WITH_TIMEOUT(Current(), QStringLiteral("Но-шпа"), 3000);
        QTRY_COMPARE(w().StatusText(), QStringLiteral("Показано для «но-шпа»"));
        QCOMPARE(box->text(), QStringLiteral("yj-igf"));

        // A typo: Enter offers the names; Down and Enter take the second.
        box->clear();
        type(QStringLiteral("парацтамол"));
        Keys({QStringLiteral("Return")});
        QTRY_VERIFY(popup->IsOpen());
        QCOMPARE(popup->names->count(), 2);
        Keys({QStringLiteral("Down"), QStringLiteral("Return")});
        QTRY_COMPARE(Current(), QStringLiteral("Панадол"));
        QVERIFY(!popup->IsOpen());
        QCOMPARE(f->ref().qMain.RecordCount(), 8);
        QCOMPARE(box->text(), QStringLiteral("Панадол"));
        QTRY_VERIFY(w().descriptionView->wb->toPlainText().contains(QStringLiteral("Панадол")));

        // Esc closes the list and is no partner reply while the list is open.
        box->setText(QStringLiteral("парацтамол"));
        Keys({QStringLiteral("Return")});
        QTRY_VERIFY(popup->IsOpen());
        Keys({QStringLiteral("Escape")});
        QVERIFY(!popup->IsOpen());
        QCOMPARE(replies, 0);
        QCOMPARE(box->text(), QStringLiteral("парацтамол"));

        // A click on a name takes it.
        Keys({QStringLiteral("Return")});
        QTRY_VERIFY(popup->IsOpen());
        QListWidget* names = popup->names;
        const QPoint at =
            names->viewport()->mapToGlobal(names->visualItemRect(names->item(0)).center());
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                 QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
        QTRY_COMPARE(Current(), QStringLiteral("Парацетамол"));
        QVERIFY(!popup->IsOpen());
        QTRY_VERIFY(
            w().descriptionView->wb->toPlainText().contains(QStringLiteral("Головная боль")));
    }
};

int main(int argc, char** argv) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    g_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xvfb.isEmpty() || g_xdotool.isEmpty()) {
        std::printf("SKIP: Xvfb or xdotool is not installed (scripts/install-deps.sh)\n");
        return kSkipped;
    }
    XServer server;
    if (!server.Start(xvfb)) {
        std::printf("FAIL: Xvfb did not start\n");
        return 1;
    }
    qputenv("DISPLAY", server.display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    X11KeysTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "x11_main_keys_test.moc"
