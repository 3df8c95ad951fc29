// The settings dialog: Apply/OK/Cancel rules, the confirmations, moves and drops.
#include <QApplication>
#include <QCheckBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/app_test_main.h"
#include "app/modal_helpers.h"
#include "app/settings/dialog_settings_target.h"
#include "app/settings/settings_dialog.h"
#include "db/database.h"
#include "settings/settings_store.h"
#include "settings/settings_values.h"
#include "support/fixture_reference.h"

using orv::app::SettingsDialog;
using orv::test::AnswerNextBox;

namespace {

// Keeps a small store of its own: what Save wrote is what Load gives back.
class Host : public orv::app::SettingsDialogHost {
  public:
    SettingsDialog* dlg = nullptr;
    QString storedProxy = "proxy.local";
    QString storedPort = "3128";
    bool storedUseProxy = true;
    int saves = 0;
    QFont font{"DejaVu Sans", 10};
    QColor color{Qt::yellow};

    void LoadSettings() override {
        dlg->SetProxyHost(storedProxy);
        dlg->SetProxyPort(storedPort.trimmed().isEmpty() ? "80" : storedPort);
        dlg->SetProxyEnabled(storedUseProxy);
    }
    void SaveSettings() override {
        ++saves;
        storedProxy = dlg->ProxyHost();
        storedPort = dlg->ProxyPort();
        storedUseProxy = dlg->ProxyEnabled();
    }
    QFont ListFont() const override { return font; }
    void SetListFont(const QFont& f) override { font = f; }
    QColor ListColor() const override { return color; }
    void SetListColor(const QColor& c) override { color = c; }
};

// The real store over a reference file: the dialog holds sections, proxy and check boxes,
// plain values stand in for the list's and the reading window's look.
class StoreHost : public orv::app::SettingsDialogHost {
  public:
    StoreHost(const std::string& path, SettingsDialog& dlg)
        : db(path), store(db), target(dlg, look) {
        store.Open();
    }
    orv::Database db;
    orv::SettingsStore store;
    orv::SettingsValues look;
    orv::app::DialogSettingsTarget target;

    void LoadSettings() override { store.LoadSettings(target); }
    void SaveSettings() override { store.SaveSettings(target); }
    QFont ListFont() const override { return QFont(); }
    void SetListFont(const QFont&) override {}
    QColor ListColor() const override { return QColor(); }
    void SetListColor(const QColor&) override {}
};

QStringList Captions(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

}  // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
    Host host;
    std::unique_ptr<SettingsDialog> dlg;

  private slots:
    void init() {
        host = Host();
        dlg = std::make_unique<SettingsDialog>(host);
        host.dlg = dlg.get();
        host.LoadSettings();  // as start-up does
        dlg->resize(301, 700);
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    }
    void cleanup() {
        orv::test::CancelPendingAnswers();
        dlg.reset();
    }

    void showsStoredValuesAndNoChange() {
        QCOMPARE(dlg->proxy->text(), QString("proxy.local"));
        QVERIFY(!dlg->Button3->isEnabled());
        QVERIFY(!dlg->SettingsChanged());
        QCOMPARE(dlg->clboxItems->count(), 15);
        QCOMPARE(dlg->clboxItems->item(0)->text(), QString("Производители"));
    }

    void cancelWithoutChangesAsksNothing() {
        auto box = AnswerNextBox(QMessageBox::Yes);
        dlg->Button2->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QVERIFY(!box->seen);
    }

    void colourCancelYesRestoresNoKeepsOpen() {
        dlg->SetColorChooser(
            [](const QColor&, QWidget*) { return std::optional<QColor>(Qt::red); });
        dlg->Button6->click();
        QCOMPARE(host.color, QColor(Qt::red));
        QVERIFY(dlg->Button3->isEnabled());

        auto no = AnswerNextBox(QMessageBox::No);
        dlg->Button2->click();
        QTRY_VERIFY(no->seen);
        QCOMPARE(no->title, QString("Отмена"));
        QCOMPARE(no->text, QString("Настройки были изменены, отменить?"));
        QCOMPARE(no->icon, QMessageBox::Question);
        QVERIFY(dlg->isVisible());
        QCOMPARE(host.color, QColor(Qt::red));

        auto yes = AnswerNextBox(QMessageBox::Yes);
        QTest::keyClick(dlg.get(), Qt::Key_Escape);  // Esc acts as "Отмена"
        QTRY_VERIFY(yes->seen);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(host.color, QColor(Qt::yellow));
        QCOMPARE(host.saves, 0);
    }

    void cancelledChoosersChangeNothing() {
        dlg->SetColorChooser([](const QColor&, QWidget*) { return std::optional<QColor>(); });
        dlg->SetFontChooser([](const QFont&, QWidget*) { return std::optional<QFont>(); });
        dlg->Button6->click();
        dlg->Button5->click();
        QCOMPARE(host.color, QColor(Qt::yellow));
        QVERIFY(!dlg->Button3->isEnabled());
    }

    void applyKeepsChangeMarkAndNewLookIsTheRestorePoint() {
        dlg->SetFontChooser(
            [](const QFont&, QWidget*) { return std::optional<QFont>(QFont("DejaVu Serif", 14)); });
        dlg->Button5->click();
        dlg->Button3->click();
        QCOMPARE(host.saves, 1);
        QVERIFY(!dlg->Button3->isEnabled());
        dlg->SetColorChooser(
            [](const QColor&, QWidget*) { return std::optional<QColor>(Qt::blue); });
        dlg->Button6->click();

        auto yes = AnswerNextBox(QMessageBox::Yes);
        dlg->Button2->click();
        QTRY_VERIFY(yes->seen);  // the mark stayed set after "Применить"
        QCOMPARE(host.font.family(), QString("DejaVu Serif"));
        QCOMPARE(host.color, QColor(Qt::yellow));
    }

    // The standard font dialog, answered OK: on a family the machine lacks nothing is lost;
    // a size picked in it is taken.
    void fontDialogOkOnAMissingFamilyKeepsTheFont() {
        QFont stored(QStringLiteral("Orvanta Missing Family"), 13);
        stored.setBold(true);
        stored.setItalic(true);
        host.font = stored;
        QFont picked;
        auto answer = [&picked](bool pick) {
            QTimer::singleShot(0, [&picked, pick] {
                QTRY_VERIFY(qobject_cast<QFontDialog*>(QApplication::activeModalWidget()));
                auto* d = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
                if (pick) {
                    QFont other = d->currentFont();
                    other.setPointSize(17);
                    d->setCurrentFont(other);
                    picked = d->currentFont();
                }
                d->accept();
            });
        };
        answer(false);
        dlg->Button5->click();
        QCOMPARE(host.font.family(), stored.family());
        QCOMPARE(host.font.pointSize(), 13);
        QVERIFY(host.font.bold());
        QVERIFY(host.font.italic());
        answer(true);
        dlg->Button5->click();
        QCOMPARE(host.font.pointSize(), 17);
        QCOMPARE(host.font, picked);
    }

    void emptyProxyAndPortOnApplyAndOk() {
        dlg->proxy->clear();
        dlg->port->clear();
        dlg->Button3->click();
        QVERIFY(!dlg->CB1->isChecked());
        QCOMPARE(dlg->port->text(), QString("80"));
        QCOMPARE(host.storedPort, QString("80"));
        QVERIFY(!host.storedUseProxy);

        dlg->CB1->setChecked(true);
        dlg->port->clear();
        dlg->Button1->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(host.storedPort, QString());  // OK saves it empty
        QVERIFY(!host.storedUseProxy);
    }

    void proxyControlsFollowCheckBox() {
        dlg->CB1->setChecked(false);
        QVERIFY(!dlg->proxy->isEnabled());
        QVERIFY(!dlg->Edit2->isEnabled());
        dlg->CB1->setChecked(true);
        QVERIFY(dlg->port->isEnabled());
        QCOMPARE(dlg->Edit2->echoMode(), QLineEdit::Password);
    }

    // "Да" on "Отмена" drops every edit: the controls are the settings' home in memory and are
    // saved when the program closes, so an edit left in them would be stored after all.
    void cancelYesReturnsEveryControl() {
        const auto values = [this] {
            return QStringList{dlg->ProxyHost(),
                               dlg->ProxyPort(),
                               dlg->ProxyUser(),
                               dlg->ProxyPassword(),
                               QString::number(dlg->ProxyEnabled()),
                               QString::number(dlg->CheckUpdatesAtStart()),
                               QString::number(dlg->clboxItems->item(0)->checkState()),
                               Captions(dlg->clboxItems).join('|')};
        };
        dlg->SetProxyUser("user");
        dlg->SetProxyPassword("secret");
        dlg->hide();
        dlg->show();  // opened on these values
        const QStringList opened = values();
        dlg->proxy->setText("typed.example");
        dlg->port->setText("1");
        dlg->Edit1->setText("other");
        dlg->Edit2->setText("other secret");
        dlg->CB1->setChecked(!dlg->CB1->isChecked());
        dlg->tCheckUp->setChecked(!dlg->tCheckUp->isChecked());
        dlg->clboxItems->item(0)->setCheckState(Qt::Unchecked);
        dlg->clboxItems->setCurrentRow(3);
        dlg->ToolButton3->click();
        QVERIFY(values() != opened);

        auto yes = AnswerNextBox(QMessageBox::Yes);
        dlg->Button2->click();
        QTRY_VERIFY(!dlg->isVisible());
        QCOMPARE(values(), opened);
        QVERIFY(dlg->proxy->isEnabled() == dlg->ProxyEnabled());
        QCOMPARE(host.saves, 0);

        // "Применить" moves the point that "Отмена" returns to.
        dlg->show();
        dlg->proxy->setText("applied.example");
        dlg->Button3->click();
        dlg->proxy->setText("typed.again");
        auto again = AnswerNextBox(QMessageBox::Yes);
        dlg->Button2->click();
        QTRY_VERIFY(!dlg->isVisible());
        QCOMPARE(dlg->ProxyHost(), QString("applied.example"));
    }

    void movesAtTheEndsDoNothing() {
        const QStringList before = Captions(dlg->clboxItems);
        dlg->clboxItems->setCurrentRow(0);
        dlg->ToolButton1->click();
        dlg->ToolButton3->click();
        dlg->clboxItems->setCurrentRow(14);
        dlg->ToolButton2->click();
        dlg->ToolButton7->click();
        QCOMPARE(Captions(dlg->clboxItems), before);
        QVERIFY(!dlg->Button3->isEnabled());
        dlg->clboxItems->setCurrentRow(-1);
        dlg->ToolButton2->click();
        QCOMPARE(Captions(dlg->clboxItems), before);
    }

    void movesKeepTheTickAndSelect() {
        struct Case {
            QToolButton* button;
            int from;
            int to;
        };
        const Case cases[] = {{dlg->ToolButton1, 3, 2},
                              {dlg->ToolButton2, 3, 4},
                              {dlg->ToolButton3, 5, 0},
                              {dlg->ToolButton7, 5, 14}};
        for (const Case& c : cases) {
            dlg->clboxItems->item(c.from)->setCheckState(Qt::Unchecked);
            const QString caption = dlg->clboxItems->item(c.from)->text();
            dlg->clboxItems->setCurrentRow(c.from);
            c.button->click();
            QCOMPARE(dlg->clboxItems->item(c.to)->text(), caption);
            QCOMPARE(dlg->clboxItems->item(c.to)->checkState(), Qt::Unchecked);
            QCOMPARE(dlg->clboxItems->currentRow(), c.to);
            QCOMPARE(dlg->Items()[c.to].caption, caption.toStdString());  // seen at once
            dlg->clboxItems->item(c.to)->setCheckState(Qt::Checked);
        }
        QVERIFY(dlg->Button3->isEnabled());
    }

    void tickEnablesApply() {
        dlg->clboxItems->item(2)->setCheckState(Qt::Unchecked);
        QVERIFY(dlg->Button3->isEnabled());
        QCOMPARE(dlg->Items()[2].checked, false);
    }

    void dropMovesWithTickAndLeavesApply() {
        QListWidget* list = dlg->clboxItems;
        dlg->pc->setCurrentIndex(SettingsDialog::kDisplayPage);
        QApplication::processEvents();
        list->item(1)->setCheckState(Qt::Unchecked);
        dlg->Button3->click();  // a clean start for the change mark
        QVERIFY(!dlg->Button3->isEnabled());
        const QString dragged = list->item(1)->text();
        list->setCurrentRow(1);
        // A drop from another source is refused.
        QMimeData mime;
        QPoint onFourth = list->visualItemRect(list->item(4)).center();
        QDropEvent foreign(onFourth, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &foreign);
        QCOMPARE(list->item(1)->text(), dragged);

        dlg->DropSelectedAt(onFourth);
        QCOMPARE(list->item(4)->text(), dragged);
        QCOMPARE(list->item(4)->checkState(), Qt::Unchecked);
        QCOMPARE(list->currentRow(), 4);
        QVERIFY(!dlg->Button3->isEnabled());

        list->setCurrentRow(0);
        const QString first = list->item(0)->text();
        const QPoint belowLast = list->visualItemRect(list->item(14)).bottomLeft() + QPoint(5, 8);
        QVERIFY(belowLast.y() < list->viewport()->height());
        dlg->DropSelectedAt(belowLast);
        QCOMPARE(list->item(14)->text(), first);
    }

    void savesThroughTheStore() {
        orv::test::FixtureReference fixture;
        fixture.Exec("insert into settings (key, value) values ('port', '   ')");
        fixture.Exec("insert into settings (key, value) values ('proxy', 'old.proxy')");
        SettingsDialog d;
        StoreHost sh(fixture.path(), d);
        d.SetHost(sh);
        orv::OpenSettings(sh.store, sh.target);
        d.show();
        QCOMPARE(d.port->text(), QString("80"));  // blank counts as missing
        QCOMPARE(d.proxy->text(), QString("old.proxy"));
        QVERIFY(!d.Button3->isEnabled());

        d.proxy->setText("new.proxy");
        d.CB1->setChecked(true);
        d.clboxItems->item(2)->setCheckState(Qt::Unchecked);
        d.clboxItems->setCurrentRow(2);
        d.ToolButton3->click();
        d.Button3->click();
        QCOMPARE(sh.store.GetKey("proxy", ""), std::string("new.proxy"));
        QCOMPARE(sh.store.GetKey("useproxy", ""), std::string("True"));
        const std::string items = sh.store.GetKey("items", "");
        QVERIFY(items.rfind("nПоказания к применению\r\nyПроизводители\r\n", 0) == 0);
        d.Button1->click();

        // Shown again: the stored values come back, and replaced edits count as a change.
        d.proxy->setText("typed.but.not.saved");
        d.show();
        QCOMPARE(d.proxy->text(), QString("new.proxy"));
        QCOMPARE(d.clboxItems->item(0)->text(), QString("Показания к применению"));
        QVERIFY(d.Button3->isEnabled());
    }

    void opensOnTheChosenPage() {
        dlg->hide();
        QTimer::singleShot(0, dlg.get(), [this] { dlg->Button1->click(); });
        dlg->Open(SettingsDialog::kDisplayPage);
        QCOMPARE(dlg->pc->currentIndex(), 1);
        QCOMPARE(dlg->pc->tabText(0), QString("Настройки"));
        QCOMPARE(dlg->pc->tabText(2), QString("Дополнительно"));
    }
};

ORVANTA_APP_TEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
