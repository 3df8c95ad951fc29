#include "app/shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/bookmarks/bookmarks_controller.h"
#include "app/display/description_controller.h"
#include "app/display/description_view.h"
#include "app/display/field_panes.h"
#include "app/display/full_description_window.h"
#include "app/lists/list_key_filter.h"
#include "app/lists/list_views.h"
#include "app/lists/lists_controller.h"
#include "app/lists/record_counter.h"
#include "app/search/filter_edit.h"
#include "app/search/filter_panel.h"
#include "app/search/quick_filter_controller.h"
#include "app/shell/about_window.h"
#include "app/shell/error_box.h"
#include "app/shell/icons.h"
#include "app/shell/main_commands.h"
#include "app/shell/own_windows.h"
#include "app/shell/program_state.h"
#include "db/reference.h"

namespace orv::app {

MainWindow::MainWindow(ProgramState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setObjectName(QStringLiteral("frmOrvanta"));
    setWindowTitle(MainCaption());
    setWindowIcon(AppIcon(IconId::App));
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);
    resize(820, 703);
    BuildLayout();
    WireControllers();
    commands = new MainCommands(*this);
    // The partner link's mailbox sits under the tool bar, where users never see it.
    btnQ = new QPushButton(QStringLiteral("query"), this);
    btnQ->setObjectName(QStringLiteral("btnQ"));
    btnQ->setGeometry(24, 0, 17, 25);
    btnQ->setFocusPolicy(Qt::NoFocus);
    btnQ->lower();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildLayout() {
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setOpaqueResize(true);
    Splitter1->setChildrenCollapsible(false);

    auto* pn1 = new QWidget(Splitter1);
    pn1->setObjectName(QStringLiteral("pn1"));
    auto* left = new QVBoxLayout(pn1);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    pnFilter = new FilterPanel(pn1);
    pc1 = new QTabWidget(pn1);
    pc1->setObjectName(QStringLiteral("pc1"));
    pc1->setTabPosition(QTabWidget::South);
    pc1->setDocumentMode(true);
    gbAll = new PreparationListView(pc1);
    gbGr = new GroupTreeView(pc1);
    pc1->addTab(gbAll, QStringLiteral("Наименования"));
    pc1->addTab(gbGr, QStringLiteral("ФармГруппы"));
    left->addWidget(pnFilter);
    left->addWidget(pc1, 1);

    auto* panel4 = new QWidget(Splitter1);
    panel4->setObjectName(QStringLiteral("Panel4"));
    auto* right = new QVBoxLayout(panel4);
    right->setContentsMargins(0, 0, 0, 0);
    pc2 = new QTabWidget(panel4);
    pc2->setObjectName(QStringLiteral("pc2"));
    descriptionView = new DescriptionView(pc2);
    fieldPanes = new FieldPanes(pc2);
    tsFindEx = new QWidget(pc2);
    tsFindEx->setObjectName(QStringLiteral("tsFindEx"));
    tsFindEx->setFocusPolicy(Qt::StrongFocus);
    pc2->addTab(descriptionView, QStringLiteral("Описание (Ctrl+F3)"));
    pc2->addTab(fieldPanes, QStringLiteral("Описание по группам (Ctrl+F4)"));
    pc2->addTab(tsFindEx, QStringLiteral("Расширенный поиск (Ctrl+F5)"));
    right->addWidget(pc2);

    Splitter1->addWidget(pn1);
    Splitter1->addWidget(panel4);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({265, 555});
    setCentralWidget(Splitter1);

    sbText = new QLabel(this);
    sbText->setObjectName(QStringLiteral("sbPanel0"));
    statusBar()->setObjectName(QStringLiteral("sb"));
    statusBar()->addWidget(sbText, 1);
}

void MainWindow::WireControllers() {
    lists = new ListsController(state_, pc1, gbAll, gbGr, this);
    filter = new QuickFilterController(state_, pnFilter, lists, this);
    description =
        new DescriptionController(state_, pc2, descriptionView, fieldPanes, nullptr, lists, this);
    counter = new RecordCounter(
        pnFilter->RecC, pnFilter->Image1,
        [this] {
            if (!state_.HasReference())
                return 0;
            const DataSet& list = state_.Ref().qMain;
            return list.Loading() ? -1 : list.RecordCount();
        },
        [this] { return state_.totalPreparations; }, this);
    ownWindows = new OwnWindows(this);
    connect(ownWindows, &OwnWindows::closed, this, &MainWindow::OwnWindowClosed);

    auto showStatus = [this](const QString& text) { ShowStatus(text); };
    auto showDescription = [this] { description->gbAllClick(); };
    lists->gbAllClick = showDescription;
    lists->showStatus = showStatus;
    filter->gbAllClick = showDescription;
    filter->showStatus = showStatus;
    description->showStatus = showStatus;
    description->filterText = [this] { return pnFilter->edFilter->text(); };
    description->openPreparation = [this](long long id) { filter->OpenPreparation(id); };
    bookmarks = new BookmarksController(state_, this);
    bookmarks->showStatus = showStatus;
    bookmarks->openPreparation = [this](long long id) { filter->OpenPreparation(id); };
    description->pageShown = [this](long long id) { bookmarks->PageShown(id); };
    description->printed = [this](long long id) { bookmarks->Printed(id); };

    auto* keys = new ListKeyFilter(this);
    keys->Watch(gbAll);
    keys->Watch(gbGr);
    connect(keys, &ListKeyFilter::enterPressed, filter, &QuickFilterController::FilterTableSynonim);
    connect(keys, &ListKeyFilter::textTyped, filter, &QuickFilterController::TypeIntoBox);
    connect(keys, &ListKeyFilter::ctrlReleased, filter, &QuickFilterController::ClearBox);
    connect(keys, &ListKeyFilter::movedByKey, this, showDescription);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(gbAll), static_cast<QAbstractItemView*>(gbGr)}) {
        connect(view, &QAbstractItemView::clicked, this, showDescription);
        connect(view, &QAbstractItemView::doubleClicked, filter,
                &QuickFilterController::FilterTableSynonim);
    }
    connect(pnFilter->sbFilter, &QToolButton::clicked, filter,
            &QuickFilterController::sbFilterClick);
}

void MainWindow::ConnectWindows(FullDescriptionWindow* readingWindow, AboutWindow* aboutWindow,
                                QWidget* yesNo) {
    reading = readingWindow;
    about = aboutWindow;
    ownWindows->Register(reading);
    ownWindows->Register(about);
    ownWindows->Register(yesNo);
    description->SetReadingWindow(reading);
}

void MainWindow::AttachReference() {
    // The forgiving matcher's names are read on its first use, not here: every start would
    // pay for a full read of the names that most sessions never need.
    lists->AttachReference();
    // The start-up list is the whole table: its count is known before its rows are read.
    counter->ShowStartText(state_.totalPreparations, state_.totalPreparations);
    counter->Timer().start();
}

void MainWindow::SelectStartPosition() {
    pc1->blockSignals(true);
    pc1->setCurrentIndex(0);
    pc1->blockSignals(false);
    pc2->blockSignals(true);
    pc2->setCurrentIndex(0);
    pc2->blockSignals(false);
    if (state_.HasReference() && state_.Ref().qMain.Active())
        state_.Ref().qMain.First();
    lists->FollowList();
}

void MainWindow::SetLeftPaneWidth(int width) {
    leftPaneWidth_ = std::max(width, 20);
    const int total = Splitter1->width();
    if (isVisible() && total > leftPaneWidth_)
        Splitter1->setSizes({leftPaneWidth_, total - leftPaneWidth_ - Splitter1->handleWidth()});
}

int MainWindow::LeftPaneWidth() const {
    return isVisible() ? Splitter1->sizes().value(0, leftPaneWidth_) : leftPaneWidth_;
}

void MainWindow::ShowStatus(const QString& text) {
    sbText->setText(text);
    statusBar()->repaint();
}

QString MainWindow::StatusText() const {
    return sbText->text();
}

void MainWindow::ShowHelp() {
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdString(state_.programDir + "help.htm")));
}

void MainWindow::ShowAbout() {
    if (about)
        about->exec();
}

void MainWindow::FormActivate() {
    Quietly([&] {
        if (!state_.HasReference() || !state_.Ref().qMain.Active())
            return;
        state_.Ref().qMain.First();
        lists->FollowList();
        description->gbAllClick();
    });
}

void MainWindow::OwnWindowClosed() {
    activatePending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (activatePending_ && isActiveWindow()) {
            activatePending_ = false;
            FormActivate();
        }
    });
}

void MainWindow::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    btnQ->setText(QStringLiteral("query"));
    // Only a window of ours closing moves the list; coming back from another program does not.
    if (activatePending_) {
        activatePending_ = false;
        FormActivate();
    }
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shown_)
        return;
    shown_ = true;
    Splitter1->setSizes({leftPaneWidth_, std::max(width() - leftPaneWidth_, 100)});
    pnFilter->edFilter->setFocus();
    // Showing the window activates it, which shows the first row's description; done here
    // too where no window manager activates windows.
    QTimer::singleShot(0, this, [this] { FormActivate(); });
    if (onFirstShow)
        onFirstShow();
    if (hooks.armUpdateCheck)
        hooks.armUpdateCheck();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    const bool yes = confirmClose ? confirmClose()
                                  : QMessageBox::question(
                                        this, QStringLiteral("Подтверждение закрытия"),
                                        QStringLiteral("Закрыть справочную систему?"),
                                        QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    if (!yes) {
        e->ignore();
        return;
    }
    if (saveSettings)
        Quietly([&] { saveSettings(); });
    e->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    // Typing with no control focused goes to the filter box.
    if (!(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && IsTypingText(e->text())) {
        pnFilter->edFilter->setFocus();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

}  // namespace orv::app
