// An error under any command ends that command and shows the error box; the program goes on.
// Each case breaks the reference under one family of commands and reaches it by the mouse
// and by the keyboard, on the real window.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

#include "app/app_fixture.h"
#include "app/app_test_main.h"
#include "app/display/description_controller.h"
#include "app/lists/list_views.h"
#include "app/search/extended_search_page.h"
#include "app/search/filter_edit.h"
#include "app/search/filter_panel.h"
#include "app/settings/settings_dialog.h"
#include "app/shell/error_box.h"
#include "app/shell/local_windows.h"
#include "app/shell/main_commands.h"
#include "app/update/packet_stats_window.h"

using namespace orv;
using namespace orv::app;

class ErrorPathTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> f;
    QStringList boxes_;     // texts of the error boxes shown
    QStringList captions_;  // and their captions
    bool allCritical_ = true;

    MainWindow& w() { return f->main(); }

    void Break(std::initializer_list<const char*> tables) {
        for (const char* t : tables)
            f->ref().Db().Exec(std::string("alter table ") + t + " rename to " + t + "_gone");
    }
    void Repair(std::initializer_list<const char*> tables) {
        for (const char* t : tables)
            f->ref().Db().Exec(std::string("alter table ") + t + "_gone rename to " + t);
    }

    // Closes the windows an action opens: every question is answered "Да", and a dialog of
    // ours is closed once its error box has been seen (or after two seconds).
    void RunClosingDialogs(const std::function<void()>& action) {
        QTimer closer;
        int ticks = 0;
        closer.setInterval(20);
        connect(&closer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                if (box->icon() == QMessageBox::Question)
                    box->button(QMessageBox::Yes)->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                if (!boxes_.isEmpty() || ++ticks > 100)
                    dialog->done(QDialog::Rejected);
            }
        });
        closer.start();
        action();
        QTest::qWait(50);
    }

    void ExpectOneBox(const char* family) {
        QTRY_VERIFY2_WITH_TIMEOUT(
            boxes_.size() == 1,
            qPrintable(QString::fromUtf8(family) + QStringLiteral(": ") + boxes_.join(u'|')), 3000);
        QVERIFY2(allCritical_, family);
        QCOMPARE(captions_.value(0), QStringLiteral("Справочная система лекарственных препаратов"));
        const QString text = boxes_.value(0);
        QVERIFY2(!text.isEmpty() && text.back().unicode() <= u'.', qPrintable(text));
        // The program still answers: the window is there and takes the next command.
        QVERIFY(w().isVisible());
        boxes_.clear();
        captions_.clear();
    }

    void Click(QWidget* widget, QPoint at = QPoint()) {
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    }
    QWidget* ToolButton(const char* action) {
        return w().commands->ToolBar()->widgetForAction(
            w().commands->Action(QString::fromLatin1(action)));
    }

  private slots:
    void init() {
        f = std::make_unique<test::AppFixture>();
        f->ShowMain();
        w().description->confirmQuickPrint = [] { return true; };
        SetErrorBoxWatcher([this](QMessageBox& box) {
            boxes_.append(box.text());
            captions_.append(box.windowTitle());
            allCritical_ = allCritical_ && box.icon() == QMessageBox::Critical;
            QTimer::singleShot(0, &box, [&box] { box.accept(); });
        });
    }
    void cleanup() {
        SetErrorBoxWatcher(nullptr);
        boxes_.clear();
        captions_.clear();
        allCritical_ = true;
        f.reset();
    }

    void tabs() {
        Break({"g"});
        QTest::keyClick(&w(), Qt::Key_F2, Qt::ControlModifier);
        ExpectOneBox("tabs, keyboard");
        QVERIFY(!f->ref().qGroups.Active());  // the next visit tries again

        QTest::keyClick(&w(), Qt::Key_F1, Qt::ControlModifier);
        QTabBar* bar = w().pc1->tabBar();
        Click(bar, bar->tabRect(1).center());
        Click(bar, bar->tabRect(0).center());
        Click(bar, bar->tabRect(1).center());
        ExpectOneBox("tabs, mouse");  // the tab switch back to the list has nothing to fail

        Repair({"g"});
        Click(bar, bar->tabRect(0).center());
        Click(bar, bar->tabRect(1).center());
        QVERIFY(f->ref().qGroups.Active());
        QVERIFY(boxes_.isEmpty());
    }

    void tree() {
        QTest::keyClick(&w(), Qt::Key_F2, Qt::ControlModifier);
        QVERIFY(w().gbGr->Built());
        w().gbGr->expandAll();
        QVERIFY(w().gbGr->SelectId(1));  // Аспирин, then Панадол
        Break({"b"});
        QTest::keyClick(w().gbGr, Qt::Key_Down);
        ExpectOneBox("tree, keyboard");
        QTreeWidgetItem* item = w().gbGr->ItemById(4);
        QVERIFY(item);
        Click(w().gbGr->viewport(), w().gbGr->visualItemRect(item).center());
        ExpectOneBox("tree, mouse");
    }

    void listSelection() {
        w().gbAll->setFocus();
        Break({"b"});
        QTest::keyClick(w().gbAll, Qt::Key_Down);
        ExpectOneBox("list, arrow key");
        Click(w().gbAll->viewport(),
              w().gbAll->visualRect(w().gbAll->model()->index(3, 0)).center());
        ExpectOneBox("list, click");
        QTest::keyClick(w().gbAll, Qt::Key_Return);
        ExpectOneBox("list, Enter");                  // the synonym selection
        QCOMPARE(w().gbAll->model()->rowCount(), 0);  // a failed selection leaves the list empty
        Repair({"b"});
        w().commands->Action(QStringLiteral("N31"))->trigger();
        QCOMPARE(w().gbAll->model()->rowCount(), 8);
    }

    void searches() {
        FilterEdit* box = w().pnFilter->edFilter;
        box->setFocus();
        box->setText(QStringLiteral("пара"));
        Break({"b"});
        QTest::keyClick(box, Qt::Key_Return);
        ExpectOneBox("name filter, Enter");
        Click(w().pnFilter->sbFilter);
        ExpectOneBox("name filter, button");
        w().pnFilter->usearch->setChecked(true);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        ExpectOneBox("universal search, Enter");
        Click(ToolButton("SpeedButton1"));
        ExpectOneBox("show all, tool button");

        ExtendedSearchPage* page = f->windows->local->page;
        QTest::keyClick(&w(), Qt::Key_F5, Qt::ControlModifier);
        page->edfName->setText(QStringLiteral("аспирин"));
        Click(page->btnFindEx);
        ExpectOneBox("extended search, button");
        page->btnFindEx->setFocus();
        QTest::keyClick(page->btnFindEx, Qt::Key_Space);
        ExpectOneBox("extended search, keyboard");
    }

    void printingSwallowsItsErrors() {
        Break({"b"});
        f->ref().qMain.SetRecNo(3);  // a row whose texts were never read
        RunClosingDialogs([&] {
            QTest::keyClick(&w(), Qt::Key_P, Qt::ControlModifier);
            Click(ToolButton("SpeedButton6"));
        });
        QTest::qWait(100);
        QVERIFY(boxes_.isEmpty());
        QVERIFY(w().isVisible());
    }

    void settingsSave() {
        SettingsDialog* dialog = f->windows->local->settingsDialog;
        auto openAnd = [&](const std::function<void()>& step) {
            QTimer::singleShot(50, dialog, [&, step] {
                Break({"settings"});
                step();
                Repair({"settings"});
            });
            RunClosingDialogs([&] { w().commands->Action(QStringLiteral("N12"))->trigger(); });
        };
        openAnd([&] { Click(dialog->Button1); });
        ExpectOneBox("settings, ОК by mouse");
        openAnd([&] {
            dialog->Button1->setFocus();
            QTest::keyClick(dialog->Button1, Qt::Key_Space);
        });
        ExpectOneBox("settings, ОК by keyboard");
    }

    void packetWindows() {
        Break({"b"});
        RunClosingDialogs([&] { Click(ToolButton("SpeedButton4")); });
        ExpectOneBox("packet list, tool button");
        Repair({"b"});

        PacketStatsWindow* stats = f->windows->local->statsWindow;
        QTimer::singleShot(50, stats, [&] {
            Break({"b"});
            stats->Button1->setFocus();
            QTest::keyClick(stats->Button1, Qt::Key_Space);
        });
        f->ref().Db().Exec("insert into packets (id, dt) values (1, 45000)");
        RunClosingDialogs([&] { w().commands->Action(QStringLiteral("SpeedButton4"))->trigger(); });
        ExpectOneBox("packet list, Показать by keyboard");
    }
};

ORVANTA_APP_TEST_MAIN(ErrorPathTest)
#include "error_path_test.moc"
