// The partner link between two real processes: this program (offscreen) and orvanta-cli
// partner, talking through the mailboxes.
#include <QAction>
#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/app_fixture.h"
#include "app/app_test_main.h"
#include "app/lists/list_views.h"
#include "app/partner/partner_controller.h"
#include "app/partner/partner_mailbox.h"
#include "app/partner/user_mailbox_path.h"
#include "app/search/filter_edit.h"
#include "app/search/filter_panel.h"
#include "app/shell/main_commands.h"

using namespace orv;
using namespace orv::app;

class PartnerLinkTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> f;
    QString mailbox_;
    QString partnerId_;  // W$B of this test's partner

    MainWindow& w() { return f->main(); }
    PartnerController& link() { return *f->windows->partner; }
    void Trigger(const char* name) { w().commands->Action(QString::fromLatin1(name))->trigger(); }

    // Starts the partner tool; with `replies` it stays to print that many replies.
    std::unique_ptr<QProcess> Partner(const QStringList& requests, int replies = 0) {
        auto p = std::make_unique<QProcess>();
        QStringList args{QStringLiteral("partner"), QStringLiteral("--to"), mailbox_};
        for (const auto& r : requests)
            args << QStringLiteral("--send") << r;
        if (replies > 0)
            args << QStringLiteral("--replies") << QString::number(replies)
                 << QStringLiteral("--timeout") << QStringLiteral("20");
        p->start(QStringLiteral(ORVANTA_BIN_DIR "/orvanta-cli"), args);
        return p;
    }
    // Waits with the event loop running: this very process answers the partner.
    static bool WaitFinished(QProcess& p, int ms) {
        for (int waited = 0; p.state() != QProcess::NotRunning && waited < ms; waited += 20)
            QTest::qWait(20);
        return p.state() == QProcess::NotRunning;
    }
    // Sends and waits until the program has carried the request out.
    void Request(const QString& request) {
        QSignalSpy done(&link(), &PartnerController::requestCarriedOut);
        auto p = Partner({request});
        QVERIFY(WaitFinished(*p, 10000));
        QCOMPARE(p->exitCode(), 0);
        // The request may have been carried out while the tool was still exiting.
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 5000);
    }
    QString Current() { return QString::fromStdString(f->CurrentName()); }
    QString ReplyOf(QProcess& p) {
        WaitFinished(p, 10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

  private slots:
    void init() {
        f = std::make_unique<test::AppFixture>();
        f->ShowMain();
        const QString pid = QString::number(QCoreApplication::applicationPid());
        mailbox_ = QStringLiteral("orvanta-query-test-") + pid;
        partnerId_ = pid + QStringLiteral("$7");
        QVERIFY(link().Listen(mailbox_));
    }
    void cleanup() { f.reset(); }

    void searchRequestFallsBackToTheFirstWordAndF9Replies() {
        auto listener =
            Partner({QStringLiteral("00") + partnerId_ + QStringLiteral("$$$Но-шпа таблетки")}, 1);
        QSignalSpy done(&link(), &PartnerController::requestCarriedOut);
        QVERIFY(done.wait(10000));
        QCOMPARE(Current(), QStringLiteral("Но-шпа"));
        QCOMPARE(w().pnFilter->edFilter->text(), QStringLiteral("Но-шпа таблетки"));
        w().pnFilter->edFilter->clearFocus();
        Trigger("N21");
        QCOMPARE(ReplyOf(*listener), QStringLiteral("00$$$Но-шпа"));
    }

    void selectionRequestFiltersAndLeavesNoReturnAddress() {
        Request(QStringLiteral("01$$$Парацетамол"));
        QCOMPARE(f->ref().qMain.RecordCount(), 1);
        QCOMPARE(Current(), QStringLiteral("Парацетамол"));
        QVERIFY(!link().Linked());
        QVERIFY(w().isVisible());
    }

    void unknownNamesKeepTheRowAndADigitFallsBackToTheFirstRow() {
        Request(QStringLiteral("00$$$Валидол"));
        Request(QStringLiteral("00$$$Ибупрофен"));
        QCOMPARE(Current(), QStringLiteral("Валидол"));
        Request(QStringLiteral("00$$$5-НОК"));
        QCOMPARE(Current(), QStringLiteral("Амоксициллин"));
    }

    // A text that finds nothing goes to the name it probably meant; the box then holds that
    // name, so a reply sends it back.
    void aTextThatFindsNothingGoesToTheNameMeant() {
        auto listener =
            Partner({QStringLiteral("00") + partnerId_ + QStringLiteral("$$$парацтамол")}, 1);
        QSignalSpy done(&link(), &PartnerController::requestCarriedOut);
        QVERIFY(done.wait(10000));
        QCOMPARE(Current(), QStringLiteral("Парацетамол"));
        QCOMPARE(f->ref().qMain.RecordCount(), 8);
        QCOMPARE(w().pnFilter->edFilter->text(), QStringLiteral("Парацетамол"));
        QCOMPARE(w().StatusText(), QStringLiteral("Показано для «Парацетамол»"));
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        w().pnFilter->edFilter->setFocus();
        Trigger("N21");
        QCOMPARE(ReplyOf(*listener), QStringLiteral("00$$$Парацетамол"));

        // A selection typed in the other layout selects the name meant.
        Request(QStringLiteral("01$$$yj-igf"));
        QCOMPARE(f->ref().qMain.RecordCount(), 1);
        QCOMPARE(Current(), QStringLiteral("Но-шпа"));
        // Found as typed: nothing else happens.
        Request(QStringLiteral("01$$$Пана"));
        QCOMPARE(f->ref().qMain.RecordCount(), 1);
        QCOMPARE(Current(), QStringLiteral("Панадол"));
        QCOMPARE(w().pnFilter->edFilter->text(), QStringLiteral("Пана"));
        QVERIFY(w().StatusText() != QStringLiteral("Показано для «Панадол»"));
    }

    void f10SendsTheBoxTextWhenItHasTheFocusAndEscTheName() {
        auto listener =
            Partner({QStringLiteral("00") + partnerId_ + QStringLiteral("$$$Аспирин")}, 2);
        QSignalSpy done(&link(), &PartnerController::requestCarriedOut);
        QVERIFY(done.wait(10000));
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        w().pnFilter->edFilter->setFocus();
        w().pnFilter->edFilter->setText(QStringLiteral("аспирин кардио"));
        Trigger("N22");
        QTest::qWait(200);
        w().pnFilter->edFilter->clearFocus();
        Trigger("esc1");
        const QStringList replies = ReplyOf(*listener).split(QLatin1Char('\n'));
        QCOMPARE(replies, (QStringList{QStringLiteral("01$$$аспирин кардио"),
                                       QStringLiteral("00$$$Аспирин")}));
    }

    void repliesNameTheRowOnScreenAndABlankBoxSendsTheName() {
        auto listener =
            Partner({QStringLiteral("00") + partnerId_ + QStringLiteral("$$$Аспирин")}, 3);
        QSignalSpy done(&link(), &PartnerController::requestCarriedOut);
        QVERIFY(done.wait(10000));
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        Trigger("N7");  // the tree, moved to another preparation than the list's
        QVERIFY(w().gbGr->SelectId(4));
        QCOMPARE(Current(), QStringLiteral("Аспирин"));
        Trigger("N21");
        QTest::qWait(200);
        w().pnFilter->edFilter->setFocus();
        w().pnFilter->edFilter->setText(QStringLiteral(" \t "));
        QVERIFY(w().pnFilter->edFilter->hasFocus());
        Trigger("N22");
        QTest::qWait(200);
        Trigger("N6");  // back on the list, which now follows the tree's row
        Trigger("esc1");
        const QStringList replies = ReplyOf(*listener).split(QLatin1Char('\n'));
        QCOMPARE(replies, (QStringList{QStringLiteral("00$$$Парацетамол"),
                                       QStringLiteral("01$$$Парацетамол"),
                                       QStringLiteral("00$$$Парацетамол")}));
    }

    void withoutAPartnerRepliesGoNowhere() {
        Request(QStringLiteral("00$$$Аспирин"));
        QVERIFY(!link().Linked());
        Trigger("esc1");  // nothing to send to; must not fail
        Trigger("N21");
        QCOMPARE(Current(), QStringLiteral("Аспирин"));
        Request(QStringLiteral("00999$1$$$Валидол"));  // a partner whose mailbox is gone
        QVERIFY(link().Linked());
        Trigger("N21");
        Trigger("N22");
        QTest::qWait(200);
        QCOMPARE(Current(), QStringLiteral("Валидол"));
    }

    void aBurstIsCarriedOutOnceWithTheLastText() {
        QSignalSpy done(&link(), &PartnerController::requestCarriedOut);
        auto p = Partner({QStringLiteral("00$$$Аспирин"), QStringLiteral("00$$$Валидол"),
                          QStringLiteral("00$$$Панадол")});
        QVERIFY(WaitFinished(*p, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 5000);
        QTest::qWait(300);
        QCOMPARE(done.count(), 1);
        QCOMPARE(Current(), QStringLiteral("Панадол"));
    }

    void hostileRequestsLeaveTheLinkWorking() {
        QByteArray junk;
        for (int i = 0; i < 5000; ++i)
            junk += static_cast<char>((i * 37) & 0xFF);
        const QString huge = QStringLiteral("00$$$") + QString(3 << 20, QLatin1Char('x'));
        for (const QString& r :
             {QStringLiteral("query"), QStringLiteral("AB$$$Аспирин"), QStringLiteral("00"),
              QString::fromLatin1(junk.replace('\0', ' ')), huge}) {
            auto p = Partner({r});
            QVERIFY(WaitFinished(*p, 20000));
        }
        QTest::qWait(500);
        Request(QStringLiteral("00$$$Дротаверин"));
        QCOMPARE(Current(), QStringLiteral("Дротаверин"));
    }

    // Half-open connections cannot pile up: beyond the cap a connection is closed at once, a
    // silent one is closed after the idle limit, and the bytes held over all connections stay
    // under their bound; a proper message still arrives afterwards.
    void theMailboxBoundsItsConnections() {
        PartnerMailbox box;
        box.SetIdleMs(400);
        const QString name = mailbox_ + QStringLiteral("-bounds");
        QVERIFY(box.Listen(name));
        QSignalSpy arrived(&box, &PartnerMailbox::messageArrived);
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < PartnerMailbox::kMaxConnections + 4; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(UserMailboxPath(name));
            QVERIFY(idle.back()->waitForConnected(2000));
        }
        QTRY_COMPARE(box.OpenConnections(), PartnerMailbox::kMaxConnections);
        // The silent ones are closed, and deliver nothing.
        QTRY_COMPARE_WITH_TIMEOUT(box.OpenConnections(), 0, 5000);
        for (auto& s : idle)
            QTRY_COMPARE(s->state(), QLocalSocket::UnconnectedState);

        // Three senders of 7 MB that never finish: together past the bound of 16 MB.
        box.SetIdleMs(5000);
        const QByteArray big(7 << 20, 'x');
        std::vector<std::unique_ptr<QLocalSocket>> senders;
        for (int i = 0; i < 3; ++i) {
            senders.push_back(std::make_unique<QLocalSocket>());
            senders.back()->connectToServer(UserMailboxPath(name));
            QVERIFY(senders.back()->waitForConnected(2000));
            senders.back()->write(big);
        }
        QTRY_VERIFY(box.BufferedBytes() > 0);
        qint64 peak = 0;
        for (int i = 0; i < 500 && box.OpenConnections() != 2; ++i) {
            QTest::qWait(20);
            peak = std::max(peak, box.BufferedBytes());
        }
        QCOMPARE(box.OpenConnections(), 2);  // the one that would pass the bound is dropped
        QVERIFY(peak <= PartnerMailbox::kMaxBufferedBytes);
        senders.clear();
        QTRY_COMPARE(box.OpenConnections(), 0);
        QCOMPARE(box.BufferedBytes(), qint64{0});
        QCOMPARE(arrived.count(), 2);  // the two that ended within the bounds were delivered

        arrived.clear();
        QLocalSocket last;
        last.connectToServer(UserMailboxPath(name));
        QVERIFY(last.waitForConnected(2000));
        last.write("00$$$abc");
        last.disconnectFromServer();
        QTRY_COMPARE(arrived.count(), 1);
        QCOMPARE(arrived[0][0].toByteArray(), QByteArray("00$$$abc"));
    }
};

ORVANTA_APP_TEST_MAIN(PartnerLinkTest)
#include "partner_link_test.moc"
