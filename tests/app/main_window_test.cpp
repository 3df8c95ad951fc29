// What a user does in the main window: typing, locating, switching tabs, the counter, the
// description tabs, the reading window and printing.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>

#include "app/app_fixture.h"
#include "app/app_test_main.h"
#include "app/display/description_controller.h"
#include "app/display/description_view.h"
#include "app/display/field_panes.h"
#include "app/display/full_description_window.h"
#include "app/lists/list_views.h"
#include "app/lists/lists_controller.h"
#include "app/lists/record_counter.h"
#include "app/search/extended_search_page.h"
#include "app/search/filter_edit.h"
#include "app/search/filter_panel.h"
#include "app/search/quick_filter_controller.h"
#include "app/shell/local_windows.h"
#include "app/shell/main_commands.h"
#include "app/shell/program.h"
#include "util/cp1251.h"

using namespace orv;
using namespace orv::app;

class MainWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> f;

    MainWindow& w() { return f->main(); }
    FilterEdit* box() { return w().pnFilter->edFilter; }
    void Trigger(const char* name) { w().commands->Action(QString::fromLatin1(name))->trigger(); }
    void SelectListRow(const char* name) {
        QVERIFY(f->ref().qMain.Locate("pname", Value{std::string(name)}));
        w().lists->FollowList();
    }
    std::string PageText(const QString& file) {
        QFile page(file);
        if (!page.open(QIODevice::ReadOnly))
            return {};
        const QByteArray b = page.readAll();
        return Cp1251ToUtf8(std::string_view(b.constData(), static_cast<size_t>(b.size())));
    }

    // QTest::keyClicks knows only ASCII; the user types Cyrillic.
    static void Type(QWidget* widget, const QString& text) {
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, static_cast<Qt::Key>(c.toUpper().unicode()),
                                QString(c), Qt::NoModifier);
    }

  private slots:
    void init() {
        f = std::make_unique<test::AppFixture>();
        f->ShowMain();
    }
    void cleanup() { f.reset(); }

    void startUpReportsEachStepAndStandsOnTheFirstRow() {
        const QString status = f->splash.StatusText();
        for (const char* line :
             {"Загрузка...", "  Препараты - OK", "  Фармгруппы - OK", "Запуск..."})
            QVERIFY2(status.contains(QString::fromUtf8(line)), line);
        QCOMPARE(f->state.totalPreparations, 8);
        QCOMPARE(f->CurrentName(), std::string("Амоксициллин"));
        QCOMPARE(w().windowTitle(),
                 QStringLiteral("Справочная система лекарственных препаратов - Norvel"));
    }

    void lettersTypedOnTheListGoToTheFilterBox() {
        box()->setText(QStringLiteral("п"));
        w().gbAll->setFocus();
        Type(w().gbAll, QStringLiteral("ар"));
        QCOMPARE(box()->text(), QStringLiteral("пар"));  // appended, not replaced
        QTRY_VERIFY(box()->hasFocus());
        QTRY_COMPARE(f->CurrentName(), std::string("Парацетамол"));
        QCOMPARE(w().gbAll->currentIndex().row(), f->ref().qMain.RecNo());
    }

    void locateWaitsForAPauseInTyping() {
        box()->setFocus();
        Type(box(), QStringLiteral("но"));
        QCOMPARE(f->CurrentName(), std::string("Амоксициллин"));  // not at once
        QTRY_COMPARE_WITH_TIMEOUT(f->CurrentName(), std::string("Но-шпа"), 1000);
        QCOMPARE(w().StatusText(), QStringLiteral("Но-шпа"));
        QTRY_VERIFY(!w().filter->Delay().isActive());  // one locate per burst, then the timer stops

        Type(box(), QStringLiteral("жжж"));
        QTRY_COMPARE_WITH_TIMEOUT(w().StatusText(), QStringLiteral("Препарат не найден."), 1000);
        QCOMPARE(f->CurrentName(), std::string("Но-шпа"));  // stays put
    }

    void ctrlTappedClearsTheBoxButAPasteStays() {
        box()->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("аспирин"));
        QTest::keyPress(box(), Qt::Key_Control, Qt::ControlModifier);
        QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyRelease(box(), Qt::Key_Control, Qt::NoModifier);
        QCOMPARE(box()->text(), QStringLiteral("аспирин"));

        QTest::keyPress(box(), Qt::Key_Control, Qt::ControlModifier);
        QTest::keyRelease(box(), Qt::Key_Control, Qt::NoModifier);
        QCOMPARE(box()->text(), QString());

        // Released on a list, Ctrl always clears the box and hands it the focus.
        box()->setText(QStringLiteral("нурофен"));
        w().gbAll->setFocus();
        QTest::keyPress(w().gbAll, Qt::Key_Control, Qt::ControlModifier);
        QTest::keyRelease(w().gbAll, Qt::Key_Control, Qt::NoModifier);
        QCOMPARE(box()->text(), QString());
        QTRY_VERIFY(box()->hasFocus());
    }

    void movingKeysInTheBoxGoToTheList() {
        box()->setFocus();
        QTest::keyClick(box(), Qt::Key_Down);
        QTRY_VERIFY(w().gbAll->hasFocus());
        QCOMPARE(f->CurrentName(),
                 std::string("Амоксициллин"));  // the first key only moves the focus
        QTest::keyClick(w().gbAll, Qt::Key_Down);
        QCOMPARE(f->CurrentName(), std::string("Аспирин"));
        QCOMPARE(w().StatusText(), QStringLiteral("Аспирин"));  // released moving key shows it
    }

    void filterPanelShowsItsCheckBoxWhole() {
        FilterPanel* panel = w().pnFilter;
        QCheckBox* box = panel->usearch;
        QLabel* counter = panel->RecC;
        w().counter->RecCountTimer();
        // At the designed pane width, and at a wider one.
        QCOMPARE(w().Splitter1->sizes().value(0), 265);
        for (int extra : {0, 200}) {
            w().Splitter1->setSizes({265 + extra, w().Splitter1->width() - 265 - extra});
            QTRY_COMPARE(panel->width(), 265 + extra);
            QVERIFY(box->isVisible());
            QVERIFY(box->width() >= box->sizeHint().width());
            QVERIFY(box->geometry().right() < panel->width());
            QVERIFY(counter->geometry().right() < box->geometry().left());
            QVERIFY(counter->fontMetrics().horizontalAdvance(counter->text()) <= counter->width());
        }
    }

    void counterIsGreenForTheWholeListAndRedForLess() {
        RecordCounter* counter = w().counter;
        counter->RecCountTimer();
        QLabel* recC = w().pnFilter->RecC;
        QCOMPARE(recC->text(), QStringLiteral("8 / 8"));
        QCOMPARE(recC->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x00));
        QCOMPARE(recC->toolTip(), QStringLiteral("Показано 8 из 8 записей"));

        f->ref().qMain.SetSql("select * from b where id<3 order by pname");
        f->ref().qMain.Open();
        w().lists->ListReopened();
        QTRY_COMPARE(recC->text(), QStringLiteral("2 / 8"));  // the timer follows by itself
        QCOMPARE(recC->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0x00));

        Trigger("SpeedButton1");  // show all
        QTRY_COMPARE(recC->text(), QStringLiteral("8 / 8"));
        QCOMPARE(f->ref().qMain.Sql(), std::string("select * from b order by pname"));
        QCOMPARE(recC->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x00));
    }

    void enterFiltersByTheTypedWords() {
        box()->setFocus();
        box()->setText(QStringLiteral("пар"));
        QTest::keyClick(box(), Qt::Key_Return);
        QCOMPARE(f->ref().qMain.RecordCount(), 1);
        QCOMPARE(f->CurrentName(), std::string("Парацетамол"));
        QCOMPARE(w().gbAll->model()->rowCount(), 1);
        QCOMPARE(w().gbAll->currentIndex().row(), 0);
        QCOMPARE(w().StatusText(), QStringLiteral("Парацетамол"));  // its description is shown
        w().counter->RecCountTimer();
        QCOMPARE(w().pnFilter->RecC->palette().color(QPalette::WindowText),
                 QColor(0xFF, 0x00, 0x00));
    }

    void universalSearchHighlightsAndAsksForWords() {
        w().pnFilter->usearch->setChecked(true);
        box()->setText(QStringLiteral("дротаверин"));
        w().filter->sbFilterClick();
        QCOMPARE(f->ref().qMain.RecordCount(), 2);  // the name and the synonym of Но-шпа
        QVERIFY(f->state.highlightSearchWords);
        // The next incremental locate ends the highlighting.
        w().filter->edFilterChange();
        QTRY_VERIFY(!f->state.highlightSearchWords);
    }

    void synonymSelectionFromTheList() {
        SelectListRow("Но-шпа");
        w().gbAll->setFocus();
        QTest::keyClick(w().gbAll, Qt::Key_Return);
        QCOMPARE(f->ref().qMain.RecordCount(), 2);  // Но-шпа and Дротаверин
        QCOMPARE(f->CurrentName(), std::string("Но-шпа"));
        QCOMPARE(w().StatusText(), QStringLiteral("Готово"));
        QCOMPARE(w().gbAll->currentIndex().data().toString(), QStringLiteral("Но-шпа"));
    }

    void resetKeepsTheCurrentPreparation() {
        f->ref().qMain.SetSql("select * from b where id in (2, 4) order by pname");
        f->ref().qMain.Open();
        w().lists->ListReopened();
        SelectListRow("Парацетамол");
        box()->setFocus();
        QTest::keyClick(box(), Qt::Key_Return);  // empty box: reset
        QCOMPARE(f->ref().qMain.RecordCount(), 8);
        QCOMPARE(f->CurrentName(), std::string("Парацетамол"));
        QCOMPARE(w().gbAll->currentIndex().row(), f->ref().qMain.RecNo());
    }

    void treeIsBuiltOnFirstVisitAndTabsKeepThePreparation() {
        QVERIFY(!f->ref().qGroups.Active());
        SelectListRow("Но-шпа");
        Trigger("N7");  // Ctrl+F2
        QVERIFY(f->ref().qGroups.Active());
        QCOMPARE(w().gbGr->topLevelItemCount(), 3);  // "Deleted" makes no node
        QCOMPARE(w().gbGr->CurrentId(), 2LL);
        QCOMPARE(w().StatusText(), QStringLiteral("Но-шпа"));

        // A preparation outside every group leaves the tree where it was.
        Trigger("N6");
        SelectListRow("Валидол");
        Trigger("N7");
        QCOMPARE(w().gbGr->CurrentId(), 2LL);

        // Another preparation chosen in the tree is current in the list afterwards.
        w().gbGr->SelectId(1);
        Trigger("N6");
        QCOMPARE(f->CurrentName(), std::string("Аспирин"));
        QCOMPARE(w().gbAll->currentIndex().data().toString(), QStringLiteral("Аспирин"));

        // A group node leaves the list row and the description alone.
        Trigger("N7");
        w().gbGr->SelectId(-3);
        w().description->gbAllClick();
        QCOMPARE(w().StatusText(), QStringLiteral("Аспирин"));
        Trigger("N6");
        QCOMPARE(f->CurrentName(), std::string("Аспирин"));
    }

    void treeShowsAPreparationOutsideTheFilteredList() {
        Trigger("N7");
        f->ref().qMain.SetSql("select * from b where id=1 order by pname");
        f->ref().qMain.Open();
        w().lists->ListReopened();
        w().ShowStatus(QStringLiteral("прежний текст"));
        w().gbGr->SelectId(6);
        w().description->gbAllClick();
        QVERIFY(PageText(w().description->PageFile()).find("Амоксициллин 500 мг.") !=
                std::string::npos);
        QCOMPARE(w().StatusText(), QStringLiteral("прежний текст"));  // read from qWork
    }

    void descriptionTabsDecideWhatIsRedrawn() {
        const QString page = w().description->PageFile();
        SelectListRow("Но-шпа");
        w().description->gbAllClick();
        QVERIFY(PageText(page).find("Дротаверина гидрохлорид 40 мг.") != std::string::npos);
        QCOMPARE(w().fieldPanes->PaneText(Pane::Syn), QStringLiteral("Дротаверин, Спазмол"));

        // The panes tab fills the panes only.
        QFile::remove(page);
        w().pc2->setCurrentIndex(1);  // as a click: redraws
        SelectListRow("Аспирин");
        w().description->gbAllClick();
        QVERIFY(!QFile::exists(page));
        QCOMPARE(w().fieldPanes->PaneText(Pane::Pokaz),
                 QStringLiteral("Боль слабой и умеренной интенсивности.\nЛихорадка."));

        // The extended search tab changes neither.
        w().pc2->setCurrentIndex(2);
        SelectListRow("Валидол");
        w().description->gbAllClick();
        QVERIFY(!QFile::exists(page));
        QCOMPARE(w().fieldPanes->PaneText(Pane::Syn),
                 QStringLiteral("Ацетилсалициловая кислота, Упсарин"));

        // Ctrl+F3 shows the description tab without redrawing it; a click redraws.
        Trigger("N9");
        QCOMPARE(w().pc2->currentIndex(), 0);
        QVERIFY(!QFile::exists(page));
        w().pc2->setCurrentIndex(1);
        w().pc2->setCurrentIndex(0);
        QVERIFY(PageText(page).find("Валидол") != std::string::npos);
        QVERIFY(w().descriptionView->wb->toPlainText().contains(QStringLiteral("Валидол")));
    }

    void keypadAndShiftArrowsScrollTheDescription() {
        SelectListRow("Аспирин");
        w().description->gbAllClick();
        w().descriptionView->wb->setHtml(QString(QStringLiteral("строка<br>")).repeated(400));
        QScrollBar* bar = w().descriptionView->wb->verticalScrollBar();
        bar->setValue(0);
        w().gbAll->setFocus();
        QTest::keyClick(w().gbAll, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(bar->value(), 100);
        QTest::keyClick(w().gbAll, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(bar->value(), 200);
        QTest::keyClick(w().gbAll, Qt::Key_Minus, Qt::KeypadModifier);
        QTest::keyClick(w().gbAll, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(f->CurrentName(), std::string("Аспирин"));  // the list did not move
    }

    void shiftF2BelongsToTheExtendedSearch() {
        int opened = 0;
        w().hooks.openExtSearchDialog = [&] { ++opened; };
        QTest::keyClick(w().gbAll, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(opened, 1);
        QVERIFY(!w().reading->isVisible());
    }

    void fieldKeysOpenTheirPaneInTheReadingWindow() {
        SelectListRow("Аспирин");
        w().description->gbAllClick();
        QString shown;
        auto closeAndRead = [&] {
            if (w().reading->isVisible()) {
                shown = w().reading->Memo1->toPlainText();
                w().reading->accept();
            }
        };
        QTimer::singleShot(0, this, closeAndRead);
        QTest::keyClick(w().gbAll, Qt::Key_F4);
        QCOMPARE(shown, QStringLiteral("Боль слабой и умеренной интенсивности.\nЛихорадка."));

        shown.clear();
        QTimer::singleShot(0, this, closeAndRead);
        QTest::keyClick(w().gbAll, Qt::Key_F8);  // the sample has no dosage forms: nothing opens
        QCoreApplication::processEvents();
        QCOMPARE(shown, QString());
    }

    void readingWindowKeysFontAndCopy() {
        FullDescriptionWindow* r = w().reading;
        QVERIFY(!r->Present(QStringLiteral("  \r\n ")));  // blank: nothing opens
        QVERIFY(!r->isVisible());
        QVERIFY(r->Present(QStringLiteral("первая\nвторая")));
        QVERIFY(QTest::qWaitForWindowExposed(r));
        const int size = r->Memo1->font().pointSize();
        QTest::keyClick(r->Memo1, Qt::Key_Minus, Qt::KeypadModifier);
        QTest::keyClick(r->Memo1, Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(r->Memo1->font().pointSize(), size - 2);
        QTest::keyClick(r->Memo1, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(r->Memo1->font().pointSize(), size - 1);

        emit r->PopupMenu1->aboutToShow();
        QVERIFY(!r->N7->isEnabled());  // nothing selected
        QTest::keyClick(r->Memo1, Qt::Key_A, Qt::ControlModifier);
        emit r->PopupMenu1->aboutToShow();
        QVERIFY(r->N7->isEnabled());
        r->N7->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("первая\nвторая"));

        QTest::keyClick(r->Memo1, Qt::Key_Escape);
        QTRY_VERIFY(!r->isVisible());
    }

    void closingOneOfOurWindowsGoesBackToTheFirstRow() {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        SelectListRow("Панадол");
        // Coming back from another program does not move the list.
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(&w(), &activation);
        QCOMPARE(f->CurrentName(), std::string("Панадол"));

        w().reading->Present(QStringLiteral("текст"));
        QVERIFY(QTest::qWaitForWindowExposed(w().reading));
        w().reading->accept();
        w().activateWindow();
        QTRY_COMPARE(f->CurrentName(), std::string("Амоксициллин"));
        QCOMPARE(w().gbAll->currentIndex().row(), 0);
        QCOMPARE(w().btnQ->text(), QStringLiteral("query"));
    }

    void indexRebuildKeepsTheCurrentPreparation() {
        SelectListRow("Парацетамол");
        w().description->gbAllClick();
        QLineEdit* name = f->windows->local->page->edfName;
        QTest::keyRelease(name, Qt::Key_Backspace,
                          Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(w().StatusText(), QString());  // the rebuild ran to its end
        QCOMPARE(f->CurrentName(), std::string("Парацетамол"));
        QCOMPARE(w().gbAll->currentIndex().row(), f->ref().qMain.RecNo());
        QCOMPARE(w().gbAll->currentIndex().data().toString(), QStringLiteral("Парацетамол"));
        QVERIFY(w().descriptionView->wb->toPlainText().contains(QStringLiteral("Парацетамол")));
    }

    void quickPrintWithoutAPrinterSaysSo() {
        if (QPrinter().isValid())
            QSKIP("this machine has a printer");
        w().description->confirmQuickPrint = [] { return true; };
        SelectListRow("Но-шпа");
        Trigger("print1");
        QTRY_COMPARE(w().StatusText(), QStringLiteral("Принтер не найден"));
        QTest::qWait(500);  // the page comes back meanwhile
        QVERIFY(w().descriptionView->wb->toPlainText().contains(QStringLiteral("Но-шпа")));
        QCOMPARE(w().StatusText(), QStringLiteral("Принтер не найден"));
    }

    void popupMenuNamesEnter() {
        QAction* synonyms = w().commands->Action(QStringLiteral("N14"));
        QCOMPARE(synonyms->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Enter"));
        QVERIFY(synonyms->shortcuts().contains(QKeySequence(Qt::Key_Return)));
    }

    void quickPrintWritesThePageToThePrinter() {
        const QString pdf = QString::fromStdString(f->dir.file("print.pdf"));
        w().description->Printer().pdfFile = pdf;
        bool answer = false;
        w().description->confirmQuickPrint = [&] { return answer; };
        SelectListRow("Но-шпа");

        Trigger("print1");  // answered No
        QTest::qWait(50);
        QVERIFY(!QFile::exists(pdf));

        answer = true;
        Trigger("print1");
        QTRY_VERIFY(QFile::exists(pdf));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(4) == "%PDF");
        QVERIFY(PageText(w().description->PrintFile()).find("Но-шпа") != std::string::npos);
        QCOMPARE(f->state.printRequest, PrintRequest::None);
        // Afterwards the description page is back in the browser pane.
        QTRY_VERIFY(w().descriptionView->wb->toPlainText().contains(QStringLiteral("Но-шпа")));
    }

    void printingOnTheTreePrintsPreparationsNotGroups() {
        const QString pdf = QString::fromStdString(f->dir.file("tree.pdf"));
        w().description->Printer().pdfFile = pdf;
        w().description->confirmQuickPrint = [] { return true; };
        Trigger("N7");
        w().gbGr->SelectId(-2);  // a group
        Trigger("print1");
        QTest::qWait(50);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(f->state.printRequest, PrintRequest::None);

        w().gbGr->SelectId(3);  // Дротаверин
        Trigger("print1");
        QTRY_VERIFY(QFile::exists(pdf));
        QVERIFY(PageText(w().description->PrintFile()).find("Дротаверин") != std::string::npos);
    }
};

ORVANTA_APP_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
