// The extended search, settings and packet windows inside the whole program: the commands of
// the main window open them, and what they change reaches the main window.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "app/app_fixture.h"
#include "app/app_test_main.h"
#include "app/display/description_controller.h"
#include "app/modal_helpers.h"
#include "app/search/extended_search_dialog.h"
#include "app/search/extended_search_page.h"
#include "app/shell/local_windows.h"
#include "app/shell/main_commands.h"
#include "app/update/packet_stats_window.h"
#include "app/update/update_window.h"

using orv::test::AnswerNextBox;

class LocalWindowsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<orv::test::AppFixture> app;
    orv::app::LocalWindows& local() { return *app->windows->local; }

  private slots:
    void init() { app = std::make_unique<orv::test::AppFixture>(); }
    void cleanup() {
        orv::test::CancelPendingAnswers();
        app.reset();
    }

    void searchTabFocusesTheNameCriterion() {
        app->ShowMain();
        QVERIFY(local().page->isAncestorOf(local().page->edfName));
        QVERIFY(app->main().tsFindEx->isAncestorOf(local().page));
        app->main().commands->Action(QStringLiteral("N23"))->trigger();
        QCOMPARE(app->main().pc2->currentIndex(), 2);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(local().page->edfName));
    }

    void dialogCommandShowsTheFoundRow() {
        app->ShowMain();
        app->state.highlightSearchWords = true;
        orv::app::ExtendedSearchDialog* dlg = local().searchDialog;
        QTimer::singleShot(0, dlg, [dlg] {
            dlg->edfSyn->setText(QStringLiteral("панадол"));
            dlg->btnFindEx->click();
        });
        app->main().commands->Action(QStringLiteral("N32"))->trigger();
        QCOMPARE(app->ref().qMain.RecordCount(), 1);
        QCOMPARE(app->CurrentName(), std::string("Парацетамол"));
        QVERIFY(!app->state.highlightSearchWords);
    }

    void sectionOrderReachesThePageAtOnce() {
        orv::app::SettingsDialog* dlg = local().settingsDialog;
        QListWidget* list = dlg->clboxItems;
        const QString last = list->item(list->count() - 1)->text();
        list->setCurrentRow(list->count() - 1);
        dlg->ToolButton3->click();  // to the beginning, without any save
        const std::vector<orv::CheckEntry> sections = app->main().description->sections();
        QCOMPARE(QString::fromStdString(sections.front().caption), last);
    }

    void settingsCommandsOpenTheirPages() {
        orv::app::SettingsDialog* dlg = local().settingsDialog;
        int seenPage = -1;
        QTimer::singleShot(0, dlg, [&] {
            seenPage = dlg->pc->currentIndex();
            dlg->Button2->click();
        });
        app->main().commands->Action(QStringLiteral("N13"))->trigger();
        QCOMPARE(seenPage, 1);
        QTimer::singleShot(0, dlg, [&] {
            seenPage = dlg->pc->currentIndex();
            QTest::keyClick(dlg, Qt::Key_Escape);
        });
        app->main().commands->Action(QStringLiteral("N12"))->trigger();
        QCOMPARE(seenPage, 0);
        QVERIFY(!dlg->isVisible());
    }

    void packetWindowsOpenFromTheirCommands() {
        auto* upd = local().updateWindow;
        bool shown = false;
        QTimer::singleShot(0, upd, [&] {
            shown = upd->isVisible();
            QTest::keyClick(upd, Qt::Key_Escape);
        });
        app->main().commands->Action(QStringLiteral("N19"))->trigger();
        QVERIFY(shown);
        QVERIFY(!upd->isVisible());

        auto* stats = local().statsWindow;
        QTimer::singleShot(0, stats, [&] {
            shown = stats->isVisible();
            stats->Button2->click();
        });
        app->main().hooks.openPacketList();
        QVERIFY(shown);
        QCOMPARE(app->main().StatusText(), QStringLiteral("Пакеты обновления"));
    }
};

ORVANTA_APP_TEST_MAIN(LocalWindowsTest)
#include "local_windows_test.moc"
