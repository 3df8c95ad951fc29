// Forgiving search in the main window: the other keyboard layout read silently, and
// "Возможно, вы имели в виду:" under the filter box, taken with the keyboard or the mouse.
// Whenever the typed text finds something, nothing of it shows.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>

#include "app/app_fixture.h"
#include "app/app_test_main.h"
#include "app/display/description_view.h"
#include "app/lists/list_views.h"
#include "app/search/filter_edit.h"
#include "app/search/filter_panel.h"
#include "app/search/quick_filter_controller.h"
#include "app/search/suggestion_popup.h"
#include "app/shell/local_windows.h"
#include "app/update/check_update_files.h"
#include "search/statements.h"
#include "support/packet_builder.h"

using namespace orv;
using namespace orv::app;

class SuggestionsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> f;

    MainWindow& w() { return f->main(); }
    FilterEdit* box() { return w().pnFilter->edFilter; }
    SuggestionPopup* popup() { return w().filter->Suggestions(); }
    QString Current() { return QString::fromStdString(f->CurrentName()); }
    QStringList Offered() {
        QStringList out;
        for (int i = 0; i < popup()->names->count(); ++i)
            out << popup()->names->item(i)->text();
        return out;
    }
    QString Page() { return w().descriptionView->wb->toPlainText(); }

    static void Type(QWidget* widget, const QString& text) {
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, static_cast<Qt::Key>(c.toUpper().unicode()),
                                QString(c), Qt::NoModifier);
    }
    void Enter(const QString& text, bool universal = false) {
        w().pnFilter->usearch->setChecked(universal);
        box()->setFocus();
        box()->setText(text);
        QTest::keyClick(box(), Qt::Key_Return);
    }
    // A mistyped name after Enter: the list is empty and two names are offered.
    void OfferParacetamol() {
        Enter(QStringLiteral("парацтамол"));
        QCOMPARE(f->ref().qMain.RecordCount(), 0);
        QVERIFY(popup()->IsOpen());
        QCOMPARE(popup()->caption->text(), QStringLiteral("Возможно, вы имели в виду:"));
        // Панадол by its synonym Парацетамол.
        QCOMPARE(Offered(),
                 (QStringList{QStringLiteral("Парацетамол"), QStringLiteral("Панадол")}));
        QVERIFY(box()->hasFocus());
    }

  private slots:
    void init() {
        f = std::make_unique<test::AppFixture>();
        f->ShowMain();
    }
    void cleanup() { f.reset(); }

    void typeAheadReadsTheOtherLayoutSilently() {
        box()->setFocus();
        Type(box(), QStringLiteral("yj-igf"));
        QTRY_COMPARE_WITH_TIMEOUT(Current(), QStringLiteral("Но-шпа"), 1000);
        QTRY_COMPARE(w().StatusText(), QStringLiteral("Показано для «но-шпа»"));
        QCOMPARE(box()->text(), QStringLiteral("yj-igf"));
        QVERIFY(Page().contains(QStringLiteral("Дротаверина гидрохлорид")));
        QCOMPARE(f->ref().qMain.RecordCount(), 8);
        QVERIFY(!popup()->IsOpen());
    }

    void enterRunsTheReadingThatFindsRows() {
        Enter(QStringLiteral("yj-igf"));
        QCOMPARE(f->ref().qMain.Sql(), NameFilterSql("но-шпа", "pname", f->ref().SearchIndexed()));
        QCOMPARE(Current(), QStringLiteral("Но-шпа"));
        QCOMPARE(box()->text(), QStringLiteral("но-шпа"));
        QCOMPARE(w().StatusText(), QStringLiteral("Показано для «но-шпа»"));
        QTest::qWait(500);  // the box's new text starts no locate of its own
        QCOMPARE(w().StatusText(), QStringLiteral("Показано для «но-шпа»"));
        QVERIFY(!popup()->IsOpen());

        // The universal search: Но-шпа by its synonym and Дротаверин by its name, marked.
        Enter(QStringLiteral("lhjnfdthby"), true);
        QCOMPARE(f->ref().qMain.RecordCount(), 2);
        QCOMPARE(w().StatusText(), QStringLiteral("Показано для «дротаверин». Найдено 2"));
        QVERIFY(f->state.highlightSearchWords);
        QCOMPARE(box()->text(), QStringLiteral("дротаверин"));
    }

    void keyboardTakesASuggestion() {
        OfferParacetamol();
        QTest::keyClick(box(), Qt::Key_Down);
        QCOMPARE(popup()->names->currentRow(), 1);
        QVERIFY(box()->hasFocus());  // Down stays in the box while the list is open
        QTest::keyClick(box(), Qt::Key_Up);
        QTest::keyClick(box(), Qt::Key_Up);
        QCOMPARE(popup()->names->currentRow(), 0);
        QTest::keyClick(box(), Qt::Key_Down);
        QTest::keyClick(box(), Qt::Key_Return);
        QVERIFY(!popup()->IsOpen());
        // Located in the whole list, as a partner search does; the Enter searched nothing more.
        QCOMPARE(f->ref().qMain.RecordCount(), 8);
        QCOMPARE(Current(), QStringLiteral("Панадол"));
        QCOMPARE(box()->text(), QStringLiteral("Панадол"));
        QCOMPARE(w().gbAll->currentIndex().data().toString(), QStringLiteral("Панадол"));
        QCOMPARE(w().StatusText(), QStringLiteral("Панадол"));
        QVERIFY(Page().contains(QStringLiteral("Панадол")));
        QTest::qWait(500);
        QCOMPARE(f->ref().qMain.RecordCount(), 8);
    }

    void clickTakesASuggestion() {
        OfferParacetamol();
        QListWidget* names = popup()->names;
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                          names->visualItemRect(names->item(0)).center());
        QVERIFY(!popup()->IsOpen());
        QCOMPARE(Current(), QStringLiteral("Парацетамол"));
        QCOMPARE(f->ref().qMain.RecordCount(), 8);
        QVERIFY(Page().contains(QStringLiteral("Головная боль")));
    }

    void escAndTypingCloseTheList() {
        OfferParacetamol();
        QTest::keyClick(box(), Qt::Key_Escape);
        QVERIFY(!popup()->IsOpen());
        QCOMPARE(box()->text(), QStringLiteral("парацтамол"));
        QCOMPARE(f->ref().qMain.RecordCount(), 0);
        // Closed, Enter is the search again.
        QTest::keyClick(box(), Qt::Key_Return);
        QVERIFY(popup()->IsOpen());
        Type(box(), QStringLiteral("е"));
        QVERIFY(!popup()->IsOpen());
    }

    void exactTextShowsNoSuggestion() {
        struct Case {
            const char* text;
            bool universal;
            int rows;
            const char* status;
        };
        const Case cases[] = {
            {"Но-шпа", false, 1, "Но-шпа"},
            {"пар", false, 1, "Парацетамол"},
            {"дротаверин", true, 2, "Запрос выполнен. Найдено 2"},
        };
        for (const Case& c : cases) {
            const QString text = QString::fromUtf8(c.text);
            Enter(text, c.universal);
            QCOMPARE(f->ref().qMain.RecordCount(), c.rows);
            QCOMPARE(w().StatusText(), QString::fromUtf8(c.status));
            QCOMPARE(box()->text(), text);
            QVERIFY(!popup()->IsOpen());
            QCOMPARE(f->state.highlightSearchWords, c.universal);
        }
        // Nothing near at all: the empty list and no list of names.
        Enter(QStringLiteral("зззззз"));
        QCOMPARE(f->ref().qMain.RecordCount(), 0);
        QVERIFY(!popup()->IsOpen());
        // The type-ahead of a name that exists says nothing of readings.
        Enter(QString());
        box()->clear();
        Type(box(), QStringLiteral("вал"));
        QTRY_COMPARE_WITH_TIMEOUT(Current(), QStringLiteral("Валидол"), 1000);
        QCOMPARE(w().StatusText(), QStringLiteral("Валидол"));
    }

    // A packet installed by the program itself: its names are offered at once.
    void namesFollowAPacketRun() {
        Enter(QStringLiteral("ксилометазалин"));
        QVERIFY(!popup()->IsOpen());
        test::WritePacket(f->dir.file("1.pckt"), 1, {test::PrepLine(50, "Ксилометазолин")});
        f->state.newestPacket = 1;
        f->state.background = true;  // no question before installing
        CheckUpdateFiles(*f->windows->local, *f->windows->local->engine);
        f->state.background = false;
        QCOMPARE(f->ref().TotalPreparations(), 9);
        Enter(QStringLiteral("ксилометазалин"));
        QVERIFY(popup()->IsOpen());
        QCOMPARE(Offered(), QStringList{QStringLiteral("Ксилометазолин")});
    }
};

ORVANTA_APP_TEST_MAIN(SuggestionsTest)
#include "suggestions_test.moc"
