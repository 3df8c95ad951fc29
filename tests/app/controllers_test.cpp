// The quick filter's and the lists' controllers alone, each with a fake window in place of the
// main window: what a command asks of the window, and where the lists end up.
#include <QCheckBox>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <initializer_list>
#include <memory>

#include "app/app_test_main.h"
#include "app/lists/list_views.h"
#include "app/lists/lists_controller.h"
#include "app/lists/lists_host.h"
#include "app/sample_reference.h"
#include "app/search/filter_edit.h"
#include "app/search/filter_host.h"
#include "app/search/filter_panel.h"
#include "app/search/quick_filter_controller.h"
#include "app/shell/program_state.h"
#include "db/reference.h"
#include "support/temp_dir.h"
#include "util/error.h"

using namespace orv;
using namespace orv::app;

namespace {

// Writes down what a controller asks of its window.
class FakeWindow : public FilterHost, public ListsHost {
  public:
    explicit FakeWindow(ProgramState& state) : state_(state) {}
    DataSet* ActiveDataSet() override { return tree ? &state_.Ref().qGroups : &state_.Ref().qMain; }
    bool TreeActive() const override { return tree; }
    void ListReopened() override { calls << QStringLiteral("ListReopened"); }
    void FollowCursor() override { calls << QStringLiteral("FollowCursor"); }
    void ShowListTabQuietly() override {
        calls << QStringLiteral("ShowListTabQuietly");
        tree = false;
    }
    void FocusActiveGrid() override { calls << QStringLiteral("FocusActiveGrid"); }
    void WhenCounted(std::function<void(int)> done) override {
        done(state_.Ref().qMain.RecordCount());
    }
    void ShowStatus(const QString& text) override { statuses << text; }
    void ShowCurrentDescription() override { calls << QStringLiteral("ShowCurrentDescription"); }

    bool tree = false;
    QStringList calls;
    QStringList statuses;

  private:
    ProgramState& state_;
};

}  // namespace

class ControllersTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<ProgramState> state;
    std::unique_ptr<FakeWindow> window;

    Reference& ref() { return state->Ref(); }
    QString Current() { return QString::fromStdString(ref().qMain.AsText("pname")); }

  private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        test::FillSampleReference(dir->file("source.bin"));
        state = std::make_unique<ProgramState>();
        state->programDir = dir->str() + "/";
        state->ref = std::make_unique<Reference>(dir->str());
        ref().qMain.Open();
        window = std::make_unique<FakeWindow>(*state);
    }
    void cleanup() {
        window.reset();
        state.reset();
        dir.reset();
    }

    void filterCommandsAskTheWindowForWhatTheyChanged_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("onTree");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("current");
        auto row = [](const char* name, const char* command, const char* text, bool onTree,
                      std::initializer_list<const char*> calls, int rows, const char* current) {
            QStringList expected;
            for (const char* c : calls)
                expected << QString::fromLatin1(c);
            QTest::newRow(name) << QString::fromUtf8(command) << QString::fromUtf8(text) << onTree
                                << expected << rows << QString::fromUtf8(current);
        };
        // Typing moves the list without reopening it.
        row("typing locates", "type", "пара", false, {"FollowCursor", "ShowCurrentDescription"}, 8,
            "Парацетамол");
        // A new list is shown, then the description of its current row.
        row("Enter filters", "enter", "пара", false, {"ListReopened", "ShowCurrentDescription"}, 1,
            "Парацетамол");
        // The synonyms of the current row (the first, Амоксициллин).
        row("synonyms", "synonyms", "", false,
            {"ListReopened", "ShowCurrentDescription", "ShowListTabQuietly"}, 2, "Амоксициллин");
        row("show all", "showAll", "", false, {"ListReopened"}, 8, "Амоксициллин");
        // A page link from the tree: the list tab comes first; the whole list stays, on the row.
        row("open from the tree", "open", "5", true,
            {"ShowListTabQuietly", "ShowCurrentDescription", "ShowListTabQuietly"}, 8, "Панадол");
    }
    void filterCommandsAskTheWindowForWhatTheyChanged() {
        QFETCH(QString, command);
        QFETCH(QString, text);
        QFETCH(bool, onTree);
        QFETCH(QStringList, calls);
        QFETCH(int, rows);
        QFETCH(QString, current);
        FilterPanel panel;
        QWidget host;
        QuickFilterController filter(*state, &panel, *window, &host);
        window->tree = onTree;
        if (command == QLatin1String("type")) {
            panel.edFilter->setText(text);
            QTRY_VERIFY(!filter.Delay().isActive());
        } else if (command == QLatin1String("enter")) {
            panel.edFilter->setText(text);
            filter.edFilterEnter();
        } else if (command == QLatin1String("synonyms")) {
            panel.edFilter->setText(text);
            filter.FilterTableSynonim();
        } else if (command == QLatin1String("showAll")) {
            filter.SpeedButton1Click();
        } else {
            filter.OpenPreparation(text.toLongLong());
        }
        QCOMPARE(window->calls.join(QLatin1Char(',')), calls.join(QLatin1Char(',')));
        QCOMPARE(ref().qMain.RecordCount(), rows);
        QCOMPARE(Current(), current);
    }

    void aFailingSearchStillHasTheListFollowAndReachesTheCaller() {
        FilterPanel panel;
        QWidget host;
        QuickFilterController filter(*state, &panel, *window, &host);
        ref().Db().Exec("alter table b rename to b_gone");
        panel.edFilter->setText(QStringLiteral("пара"));
        QVERIFY_THROWS_EXCEPTION(Error, filter.edFilterEnter());
        QVERIFY(!ref().qMain.Active());
        // The closed list is shown as such (empty), not left on rows that are gone.
        QCOMPARE(window->calls, QStringList{QStringLiteral("ListReopened")});
    }

    void theTreeIsBuiltOnceAndTheTwoViewsFollowEachOther() {
        QTabWidget pc1;
        auto* gbAll = new PreparationListView(&pc1);
        auto* gbGr = new GroupTreeView(&pc1);
        pc1.addTab(gbAll, QStringLiteral("Наименования"));
        pc1.addTab(gbGr, QStringLiteral("ФармГруппы"));
        ListsController lists(*state, *window, &pc1, gbAll, gbGr);
        lists.AttachReference();
        QVERIFY(ref().qMain.Locate("id", Value{std::int64_t{3}}));  // Дротаверин
        lists.FollowList();
        QCOMPARE(gbAll->currentIndex().row(), ref().qMain.RecNo());

        pc1.setCurrentIndex(1);
        QCOMPARE(window->statuses, (QStringList{QStringLiteral("Строится дерево фарм. групп. "
                                                               "Подождите..."),
                                                QStringLiteral("Готово")}));
        QCOMPARE(gbGr->CurrentId(), 3LL);  // the tree opens on the list's preparation
        QVERIFY(gbGr->SelectId(5));        // Панадол, chosen in the tree
        pc1.setCurrentIndex(0);
        QCOMPARE(Current(), QStringLiteral("Панадол"));
        QCOMPARE(gbAll->currentIndex().row(), ref().qMain.RecNo());
        pc1.setCurrentIndex(1);
        QCOMPARE(window->statuses.size(), 2);  // built once
        // Every tab change shows the description of the row it arrives on.
        QCOMPARE(window->calls, QStringList(3, QStringLiteral("ShowCurrentDescription")));
    }
};

ORVANTA_APP_TEST_MAIN(ControllersTest)
#include "controllers_test.moc"
