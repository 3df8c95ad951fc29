// The extended search page and dialog, the packet filter and the index rebuild, on a real
// reference file.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/app_test_main.h"
#include "app/modal_helpers.h"
#include "app/search/extended_search_dialog.h"
#include "app/search/extended_search_page.h"
#include "app/search/search_commands.h"
#include "db/database.h"
#include "db/reference.h"
#include "support/fixture_reference.h"
#include "util/text.h"

using orv::test::AnswerNextBox;

namespace {

class Host : public orv::app::SearchHost {
  public:
    explicit Host(orv::Reference& r) : ref(r) {}
    orv::Reference& ref;
    QStringList statuses;
    int reopened = 0;
    int redraws = 0;
    bool highlight = true;

    orv::Reference& Ref() override { return ref; }
    void ShowStatus(const QString& text) override { statuses << text; }
    void ListReopened() override { ++reopened; }
    void SetHighlightSearchWords(bool on) override { highlight = on; }
    void ShowCurrentDescription() override { ++redraws; }
};

QStringList Names(orv::DataSet& q) {
    QStringList out;
    for (q.First(); !q.Eof(); q.Next())
        out << QString::fromStdString(q.AsText("pname"));
    return out;
}

}  // namespace

class ExtendedSearchTest : public QObject {
    Q_OBJECT
    std::unique_ptr<orv::test::FixtureReference> fixture;
    std::unique_ptr<orv::Reference> ref;
    std::unique_ptr<Host> host;

  private slots:
    void init() {
        fixture = std::make_unique<orv::test::FixtureReference>();
        fixture->Add({{1, "Парацетамол", "Панадол", 0, 12},
                      {2, "Анальгин", "Метамизол", 0, 11},
                      {3, "Но-шпа", "Дротаверин", 0, 12}});
        fixture->Exec("update b set ndx1 = 'головная боль лихорадка ' where id = 1");
        fixture->Exec("update b set ndx1 = 'боль спазм ', ndx2 = 'спазмолитик ' where id = 3");
        ref = std::make_unique<orv::Reference>(fixture->dir.str());
        ref->qMain.SetSql(ref->InitialListSql());
        ref->qMain.Open();
        host = std::make_unique<Host>(*ref);
    }
    void cleanup() {
        orv::test::CancelPendingAnswers();
        host.reset();
        ref.reset();
        fixture.reset();
    }

    void pageSearchesWithoutRedrawing() {
        orv::app::ExtendedSearchPage page(*host);
        page.show();
        page.edfName->setText("пара");
        page.mmfPrim->setPlainText("головная\nболь");
        page.btnFindEx->click();
        QCOMPARE(Names(ref->qMain), QStringList{"Парацетамол"});
        QCOMPARE(host->statuses,
                 (QStringList{"Выполнение запроса...", "Запрос выполнен. Найдено 1"}));
        QCOMPARE(host->redraws, 0);
        QVERIFY(host->highlight);  // kept
        QCOMPARE(host->reopened, 1);
        QCOMPARE(page.edfName->text(), QString("пара"));  // the page keeps its criteria
    }

    void pageKeys() {
        orv::app::ExtendedSearchPage page(*host);
        page.show();
        page.mmfAction->setPlainText("спазм");
        QTest::keyClick(page.mmfAction, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(Names(ref->qMain), QStringList{"Но-шпа"});
        QCOMPARE(page.mmfAction->toPlainText(), QString("спазм"));  // no line break typed

        page.edfSyn->setText("абв");
        page.edfSyn->setCursorPosition(1);
        QTest::keyClick(page.edfSyn, Qt::Key_Delete);
        QCOMPARE(page.edfSyn->text(), QString("ав"));
        QTest::keyClick(page.edfSyn, Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(page.edfSyn->text().isEmpty());
        QVERIFY(page.mmfAction->toPlainText().isEmpty());
    }

    void noCriteriaAsksForThem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("memo");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("spaces and breaks") << "   "
                                           << " \n\r\n  \n";
    }
    void noCriteriaAsksForThem() {
        QFETCH(QString, name);
        QFETCH(QString, memo);
        const std::string before = ref->qMain.Sql();
        orv::app::ExtendedSearchDialog dlg(*host);
        dlg.show();
        dlg.edfName->setText(name);
        dlg.mmfPrim->setPlainText(memo);
        auto box = AnswerNextBox(QMessageBox::Ok);
        dlg.btnFindEx->click();
        QVERIFY(box->seen);
        QCOMPARE(box->text, QString("Необходимо ввести критерии поиска!"));
        QCOMPARE(box->title, QString("Недостаточно данных"));
        QCOMPARE(box->icon, QMessageBox::Warning);
        QVERIFY(dlg.isVisible());  // the dialog stays open
        QCOMPARE(ref->qMain.Sql(), before);
        QCOMPARE(host->reopened, 0);
    }

    void hostileTextIsOnlyText() {
        orv::app::ExtendedSearchPage page(*host);
        page.edfName->setText("'); drop table b; --");
        page.edfSyn->setText("[%_]\"");
        page.btnFindEx->click();
        QCOMPARE(ref->qMain.RecordCount(), 0);
        QCOMPARE(host->statuses.last(), QString("Запрос выполнен. Найдено 0"));
        orv::Database db(fixture->path());
        auto st = db.Prepare("select count(*) from b");
        QVERIFY(st.Step());
        QCOMPARE(st.ColumnInt(0), 3);
    }

    void dialogOpensBlankAndClosesAfterSearch() {
        orv::app::ExtendedSearchDialog dlg(*host);
        QTimer::singleShot(0, &dlg, [&] {
            dlg.edfSyn->setText("дротав");
            dlg.btnFindEx->click();
        });
        orv::app::OpenExtendedSearchDialog(*host, dlg);
        QCOMPARE(Names(ref->qMain), QStringList{"Но-шпа"});
        QCOMPARE(host->redraws, 1);
        QVERIFY(!host->highlight);

        QString seenOnOpen = "?";
        QTimer::singleShot(0, &dlg, [&] {
            seenOnOpen = dlg.edfSyn->text();
            dlg.Button2->click();  // "Закрыть": no search
        });
        orv::app::OpenExtendedSearchDialog(*host, dlg);
        QCOMPARE(seenOnOpen, QString());
        QCOMPARE(Names(ref->qMain), QStringList{"Но-шпа"});
        QCOMPARE(host->redraws, 2);

        QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
        orv::app::OpenExtendedSearchDialog(*host, dlg);
        QVERIFY(!dlg.isVisible());
    }

    void packetFilter() {
        orv::app::ExtendedSearchPage page(*host);
        page.SetPacketEntries({"11 (08.12.2026 10:00:00)", "12 (09.12.2026 11:30:00)", "abc"});

        auto none = AnswerNextBox(QMessageBox::Ok);
        page.Button2->click();
        QVERIFY(none->seen);
        QCOMPARE(none->text, QString("Выберите пакет!"));

        page.cbPckt->setCurrentIndex(1);
        page.Button2->click();
        QCOMPARE(Names(ref->qMain), (QStringList{"Но-шпа", "Парацетамол"}));
        QCOMPARE(host->statuses.last(), QString("Запрос выполнен. Найдено 2"));
        QCOMPARE(host->redraws, 0);

        page.cbPckt->setCurrentIndex(2);
        auto bad = AnswerNextBox(QMessageBox::Ok);
        page.Button2->click();
        QVERIFY(bad->seen);
        QCOMPARE(bad->text, QString("error!"));
        QCOMPARE(ref->qMain.RecordCount(), 2);
    }

    void rebuildFromTheNameBox() {
        fixture->Exec("update b set n5 = x'" +
                      QByteArray::fromStdString(orv::ScrambleForStorage("Головная боль, 2 раза"))
                          .toHex()
                          .toStdString() +
                      "' where id = 2");
        orv::app::ExtendedSearchPage page(*host);
        page.show();
        const auto all = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
        QTest::keyRelease(page.edfSyn, Qt::Key_Backspace, all);  // only the name box listens
        QVERIFY(host->statuses.isEmpty());
        QTest::keyRelease(page.edfName, Qt::Key_Backspace, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(host->statuses.isEmpty());
        QTest::keyRelease(page.edfName, Qt::Key_Backspace, all);
        QCOMPARE(host->statuses,
                 (QStringList{"Построение таблиц индексов...", "33%", "67%", "100%", ""}));
        orv::Database db(fixture->path());
        auto st = db.Prepare("select n1 from ndx where id = 2");
        QVERIFY(st.Step());
        QStringList words = QString::fromStdString(st.ColumnText(0)).split(' ', Qt::SkipEmptyParts);
        words.sort();
        QCOMPARE(words, (QStringList{"боль", "головная", "раза"}));
    }

    void pageCentresItsPanel() {
        orv::app::ExtendedSearchPage page(*host);
        page.resize(1000, 600);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(page.pnFindEx->x(), 276);  // 275.5 to the even neighbour
        page.resize(450, 600);
        QApplication::processEvents();
        QCOMPARE(page.pnFindEx->x(), 0);  // 0.5 to the even neighbour
    }
};

ORVANTA_APP_TEST_MAIN(ExtendedSearchTest)
#include "extended_search_test.moc"
