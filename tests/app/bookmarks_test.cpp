// The analogue selection, the history and the favourites as a user meets them in the main
// window: the commands, the page's "Аналоги" line and the two list windows.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

#include "app/app_fixture.h"
#include "app/app_test_main.h"
#include "app/bookmarks/bookmarks_controller.h"
#include "app/bookmarks/favourites_window.h"
#include "app/bookmarks/history_window.h"
#include "app/display/description_controller.h"
#include "app/display/description_view.h"
#include "app/lists/lists_controller.h"
#include "app/shell/main_commands.h"
#include "db/inn_keys.h"
#include "settings/bookmarks.h"
#include "util/text.h"

using namespace orv;
using namespace orv::app;

class BookmarksTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> f;

    MainWindow& w() { return f->main(); }
    void Trigger(const char* name) {
        QAction* a = w().commands()->Action(QString::fromLatin1(name));
        QVERIFY2(a, name);
        a->trigger();
    }
    void Select(const char* name) {
        if (!f->ref().qMain.Locate("pname", Value{std::string(name)}))
            QFAIL(name);
        w().lists()->FollowList();
        w().description()->gbAllClick();
    }
    void SetInn(int id, const std::string& inn) {
        Statement st = f->ref().Db().Prepare("update b set n13 = ?1 where id = ?2");
        st.Bind(1, Blob{ScrambleForStorage(inn)});
        st.Bind(2, std::int64_t{id});
        st.Step();
        InnKeyWriter(f->ref().Db()).Set(id, inn);
    }
    std::vector<std::string> ListNames() {
        std::vector<std::string> out;
        for (int row = 0; row < f->ref().qMain.RecordCount(); ++row)
            out.push_back(f->ref().qMain.TextAt(row, "pname"));
        return out;
    }
    std::string Stored(const char* key) { return f->state.settings->GetKey(key, ""); }
    // Runs `act` on the modal window of type T as soon as it is shown and active, looking for
    // it for up to 10 s: a slow machine (or a sanitizer build) may take longer than one look to
    // open it, and its shortcuts work only once it is active.
    template <class T, class F>
    static void WhenShown(F act, int looksLeft = 400) {
        QTimer::singleShot(25, [act, looksLeft] {
            auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
            const bool ready = window != nullptr && QApplication::activeWindow() == window;
            if (!ready && looksLeft > 0) {
                WhenShown<T>(act, looksLeft - 1);
                return;
            }
            QVERIFY(window);
            act(window);
            // A failed check inside `act` must not leave the window waiting for ever.
            if (QTest::currentTestFailed() && window->isVisible())
                window->close();
        });
    }
    // The page is shown long enough to count as a visit.
    void Visit(const char* name) {
        Select(name);
        QTRY_VERIFY(!w().bookmarks()->VisitTimer().isActive());
    }

  private slots:
    void init() {
        f = std::make_unique<test::AppFixture>();
        f->ShowMain();
        // The first row shown at start-up is no visit of these tests.
        QTest::qWait(20);
        w().bookmarks()->VisitTimer().stop();
        SetInn(2, "Дротаверина гидрохлорид");
        SetInn(3, "<b>Дротаверин</b>");
        SetInn(1, "Ацетилсалициловая кислота");
        w().bookmarks()->VisitTimer().setInterval(30);
    }
    void cleanup() { f.reset(); }

    void analoguesNarrowTheListAndRestore() {
        Select("Но-шпа");
        Trigger("miAnalogues");
        QCOMPARE(ListNames(), (std::vector<std::string>{"Дротаверин", "Но-шпа"}));
        QCOMPARE(f->CurrentName(), std::string("Но-шпа"));
        QCOMPARE(w().StatusText(), QStringLiteral("Аналоги по МНН «Дротаверина гидрохлорид»: 2"));
        // The pop-up item runs the same command.
        QVERIFY(w().commands()->PopupMenu1()->actions().contains(
            w().commands()->Action(QStringLiteral("pmAnalogues"))));
        Trigger("N15");
        QCOMPARE(f->ref().qMain.RecordCount(), 8);
        QCOMPARE(f->CurrentName(), std::string("Но-шпа"));

        // Without an INN: said so, the list stays.
        Select("Валидол");
        const std::string sql = f->ref().qMain.Sql();
        Trigger("miAnalogues");
        QCOMPARE(f->ref().qMain.Sql(), sql);
        QCOMPARE(w().StatusText(),
                 QStringLiteral("Аналоги по МНН: у препарата «Валидол» не указано МНН"));
    }

    void theAnaloguesLineLinksToThePreparations() {
        Select("Но-шпа");
        QTextBrowser* wb = w().descriptionView()->wb;
        const QString page = wb->toHtml();
        QVERIFY(page.contains(QStringLiteral("Аналоги")));
        QVERIFY(page.contains(QStringLiteral("prep:3")));
        emit wb->anchorClicked(QUrl(QStringLiteral("prep:3")));
        QCOMPARE(f->CurrentName(), std::string("Дротаверин"));
        // A preparation outside the narrowed list is still opened.
        Select("Но-шпа");
        Trigger("miAnalogues");
        emit wb->anchorClicked(QUrl(QStringLiteral("prep:1")));
        QCOMPARE(f->CurrentName(), std::string("Аспирин"));
        QCOMPARE(f->ref().qMain.RecordCount(), 8);
        // No INN, no line.
        Select("Валидол");
        QVERIFY(!wb->toHtml().contains(QStringLiteral("Аналоги")));
    }

    void historyBackForwardAndItsWindow() {
        Visit("Аспирин");
        Visit("Но-шпа");
        Visit("Парацетамол");
        QCOMPARE(Stored(kHistoryKey).size() > 0, true);
        Trigger("miBack");
        QCOMPARE(f->CurrentName(), std::string("Но-шпа"));
        QTRY_VERIFY(!w().bookmarks()->VisitTimer().isActive());
        Trigger("miBack");
        QCOMPARE(f->CurrentName(), std::string("Аспирин"));
        Trigger("miBack");  // nothing older
        QCOMPARE(f->CurrentName(), std::string("Аспирин"));
        QCOMPARE(w().StatusText(), QStringLiteral("История: более ранних препаратов нет"));
        Trigger("miForward");
        QCOMPARE(f->CurrentName(), std::string("Но-шпа"));
        QTRY_VERIFY(!w().bookmarks()->VisitTimer().isActive());
        std::string ids = Stored(kHistoryKey);
        QCOMPARE(History::Decode(ids)->Entries().size(), size_t{3});

        // A preparation deleted by a packet is gone from the window; Enter opens an entry.
        f->ref().Db().Exec("delete from b where id = 2");
        QStringList shown;
        WhenShown<HistoryWindow>([&shown](HistoryWindow* h) {
            for (int i = 0; i < h->lvHistory->topLevelItemCount(); ++i)
                shown << h->lvHistory->topLevelItem(i)->text(0);
            QVERIFY(!h->lvHistory->topLevelItem(0)->text(1).isEmpty());
            h->lvHistory->setCurrentItem(h->lvHistory->topLevelItem(1));
            QTest::keyClick(h->lvHistory, Qt::Key_Return);
        });
        Trigger("miHistory");
        QCOMPARE(shown, (QStringList{QStringLiteral("Парацетамол"), QStringLiteral("Аспирин")}));
        QCOMPARE(f->CurrentName(), std::string("Аспирин"));
        QVERIFY(Stored(kHistoryKey).find("2:") == std::string::npos);
    }

    void favouritesToggleReorderAndPersist() {
        Select("Но-шпа");
        Trigger("miFavourite");
        QCOMPARE(w().StatusText(), QStringLiteral("«Но-шпа» добавлен в избранное"));
        Select("Аспирин");
        Trigger("miFavourite");
        Select("Валидол");
        Trigger("miFavourite");
        Trigger("miFavourite");
        QCOMPARE(w().StatusText(), QStringLiteral("«Валидол» убран из избранного"));
        QCOMPARE(Stored(kFavouritesKey), std::string("2,1"));

        WhenShown<FavouritesWindow>([](FavouritesWindow* fw) {
            QCOMPARE(fw->lvFavourites->topLevelItemCount(), 2);
            fw->lvFavourites->setCurrentItem(fw->lvFavourites->topLevelItem(1));
            QTest::keyClick(fw->lvFavourites, Qt::Key_Up, Qt::ControlModifier);
            QCOMPARE(fw->lvFavourites->topLevelItem(0)->text(0), QStringLiteral("Аспирин"));
            fw->lvFavourites->setCurrentItem(fw->lvFavourites->topLevelItem(1));
            fw->btnRemove->click();
            QCOMPARE(fw->lvFavourites->topLevelItemCount(), 1);
            fw->lvFavourites->setCurrentItem(fw->lvFavourites->topLevelItem(0));
            fw->btnOpen->click();
        });
        Select("Валидол");
        Trigger("miFavourites");
        QCOMPARE(f->CurrentName(), std::string("Аспирин"));
        QCOMPARE(Stored(kFavouritesKey), std::string("1"));
        // Both are on the menu "Закладки" and on the tool bar.
        QVERIFY(w().commands()->Action(QStringLiteral("tbHistory")));
        QVERIFY(w().commands()->Action(QStringLiteral("tbFavourites")));
    }
};

ORVANTA_APP_TEST_MAIN(BookmarksTest)
#include "bookmarks_test.moc"
