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
#include "app/shell/shell_host.h"
#include "db/reference.h"
#include "settings/settings_keys.h"
#include "settings/settings_target.h"

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
    commands_ = new MainCommands(*this);
    // The partner link's mailbox sits under the tool bar, where users never see it.
    btnQ_ = new QPushButton(QStringLiteral("query"), this);
    btnQ_->setObjectName(QStringLiteral("btnQ"));
    btnQ_->setGeometry(24, 0, 17, 25);
    btnQ_->setFocusPolicy(Qt::NoFocus);
    btnQ_->lower();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildLayout() {
    Splitter1_ = new QSplitter(Qt::Horizontal, this);
    Splitter1_->setObjectName(QStringLiteral("Splitter1"));
    Splitter1_->setOpaqueResize(true);
    Splitter1_->setChildrenCollapsible(false);

    auto* pn1 = new QWidget(Splitter1_);
    pn1->setObjectName(QStringLiteral("pn1"));
    auto* left = new QVBoxLayout(pn1);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    pnFilter_ = new FilterPanel(pn1);
    pc1_ = new QTabWidget(pn1);
    pc1_->setObjectName(QStringLiteral("pc1"));
    pc1_->setTabPosition(QTabWidget::South);
    pc1_->setDocumentMode(true);
    gbAll_ = new PreparationListView(pc1_);
    gbGr_ = new GroupTreeView(pc1_);
    pc1_->addTab(gbAll_, QStringLiteral("Наименования"));
    pc1_->addTab(gbGr_, QStringLiteral("ФармГруппы"));
    left->addWidget(pnFilter_);
    left->addWidget(pc1_, 1);

    auto* panel4 = new QWidget(Splitter1_);
    panel4->setObjectName(QStringLiteral("Panel4"));
    auto* right = new QVBoxLayout(panel4);
    right->setContentsMargins(0, 0, 0, 0);
    pc2_ = new QTabWidget(panel4);
    pc2_->setObjectName(QStringLiteral("pc2"));
    descriptionView_ = new DescriptionView(pc2_);
    fieldPanes_ = new FieldPanes(pc2_);
    tsFindEx_ = new QWidget(pc2_);
    tsFindEx_->setObjectName(QStringLiteral("tsFindEx"));
    tsFindEx_->setFocusPolicy(Qt::StrongFocus);
    pc2_->addTab(descriptionView_, QStringLiteral("Описание (Ctrl+F3)"));
    pc2_->addTab(fieldPanes_, QStringLiteral("Описание по группам (Ctrl+F4)"));
    pc2_->addTab(tsFindEx_, QStringLiteral("Расширенный поиск (Ctrl+F5)"));
    right->addWidget(pc2_);

    Splitter1_->addWidget(pn1);
    Splitter1_->addWidget(panel4);
    Splitter1_->setStretchFactor(1, 1);
    Splitter1_->setSizes({265, 555});
    setCentralWidget(Splitter1_);

    sbText_ = new QLabel(this);
    sbText_->setObjectName(QStringLiteral("sbPanel0"));
    statusBar()->setObjectName(QStringLiteral("sb"));
    statusBar()->addWidget(sbText_, 1);
}

void MainWindow::WireControllers() {
    lists_ = new ListsController(state_, *this, pc1_, gbAll_, gbGr_, this);
    filter_ = new QuickFilterController(state_, pnFilter_, *this, this);
    description_ = new DescriptionController(state_, *this, pc2_, descriptionView_, fieldPanes_,
                                             nullptr, lists_, this);
    counter_ = new RecordCounter(
        pnFilter_->RecC, pnFilter_->Image1,
        [this] {
            if (!state_.HasReference())
                return 0;
            const DataSet& list = state_.Ref().qMain;
            return list.Loading() ? -1 : list.RecordCount();
        },
        [this] { return state_.totalPreparations; }, this);
    ownWindows_ = new OwnWindows(this);
    connect(ownWindows_, &OwnWindows::closed, this, &MainWindow::OwnWindowClosed);

    auto showDescription = [this] { description_->gbAllClick(); };
    bookmarks_ = new BookmarksController(state_, *this, this);

    auto* keys = new ListKeyFilter(this);
    keys->Watch(gbAll_);
    keys->Watch(gbGr_);
    connect(keys, &ListKeyFilter::enterPressed, filter_,
            &QuickFilterController::FilterTableSynonim);
    connect(keys, &ListKeyFilter::textTyped, filter_, &QuickFilterController::TypeIntoBox);
    connect(keys, &ListKeyFilter::ctrlReleased, filter_, &QuickFilterController::ClearBox);
    connect(keys, &ListKeyFilter::movedByKey, this, showDescription);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(gbAll_), static_cast<QAbstractItemView*>(gbGr_)}) {
        connect(view, &QAbstractItemView::clicked, this, showDescription);
        connect(view, &QAbstractItemView::doubleClicked, filter_,
                &QuickFilterController::FilterTableSynonim);
    }
    connect(pnFilter_->sbFilter, &QToolButton::clicked, filter_,
            &QuickFilterController::sbFilterClick);
}

void MainWindow::ConnectWindows(FullDescriptionWindow* readingWindow, AboutWindow* aboutWindow,
                                QWidget* yesNo) {
    reading_ = readingWindow;
    about_ = aboutWindow;
    ownWindows_->Register(reading_);
    ownWindows_->Register(about_);
    ownWindows_->Register(yesNo);
    description_->SetReadingWindow(reading_);
}

void MainWindow::AttachReference() {
    // The forgiving matcher's names are read on its first use, not here: every start would
    // pay for a full read of the names that most sessions never need.
    lists_->AttachReference();
    // The start-up list is the whole table: its count is known before its rows are read.
    counter_->ShowStartText(state_.totalPreparations, state_.totalPreparations);
    counter_->Timer().start();
}

void MainWindow::SelectStartPosition() {
    pc1_->blockSignals(true);
    pc1_->setCurrentIndex(0);
    pc1_->blockSignals(false);
    pc2_->blockSignals(true);
    pc2_->setCurrentIndex(0);
    pc2_->blockSignals(false);
    if (state_.HasReference() && state_.Ref().qMain.Active())
        state_.Ref().qMain.First();
    lists_->FollowList();
}

void MainWindow::SetLeftPaneWidth(int width) {
    leftPaneWidth_ = std::max(width, 20);
    const int total = Splitter1_->width();
    if (isVisible() && total > leftPaneWidth_)
        Splitter1_->setSizes({leftPaneWidth_, total - leftPaneWidth_ - Splitter1_->handleWidth()});
}

int MainWindow::LeftPaneWidth() const {
    return isVisible() ? Splitter1_->sizes().value(0, leftPaneWidth_) : leftPaneWidth_;
}

void MainWindow::ShowStatus(const QString& text) {
    sbText_->setText(text);
    statusBar()->repaint();
}

void MainWindow::ShowCurrentDescription() {
    description_->gbAllClick();
}

DataSet* MainWindow::ActiveDataSet() {
    return lists_->ActiveDataSet();
}

bool MainWindow::TreeActive() const {
    return lists_->TreeActive();
}

void MainWindow::ListReopened() {
    lists_->ListReopened();
}

void MainWindow::FollowCursor() {
    lists_->FollowCursor();
}

void MainWindow::ShowListTabQuietly() {
    lists_->ShowListTabQuietly();
}

void MainWindow::WhenCounted(std::function<void(int)> done) {
    lists_->WhenCounted(std::move(done));
}

void MainWindow::FocusActiveGrid() {
    lists_->ActiveGrid()->setFocus();
}

QString MainWindow::FilterText() const {
    return pnFilter_->edFilter->text();
}

std::vector<CheckEntry> MainWindow::Sections() const {
    return sections_ ? sections_->Sections() : DesignSectionList();
}

void MainWindow::OpenPreparation(long long id) {
    filter_->OpenPreparation(id);
}

void MainWindow::PageShown(long long id) {
    bookmarks_->PageShown(id);
}

void MainWindow::Printed(long long id) {
    bookmarks_->Printed(id);
}

QString MainWindow::StatusText() const {
    return sbText_->text();
}

void MainWindow::ShowHelp() {
    QDesktopServices::openUrl(
        QUrl::fromLocalFile(QString::fromStdString(state_.programDir + "help.htm")));
}

void MainWindow::ShowAbout() {
    if (about_)
        about_->exec();
}

void MainWindow::FormActivate() {
    Quietly("возврат списка к первой строке", [&] {
        if (!state_.HasReference() || !state_.Ref().qMain.Active())
            return;
        state_.Ref().qMain.First();
        lists_->FollowList();
        description_->gbAllClick();
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
    btnQ_->setText(QStringLiteral("query"));
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
    Splitter1_->setSizes({leftPaneWidth_, std::max(width() - leftPaneWidth_, 100)});
    pnFilter_->edFilter->setFocus();
    // Showing the window activates it, which shows the first row's description_; done here
    // too where no window manager activates windows.
    QTimer::singleShot(0, this, [this] { FormActivate(); });
    if (onFirstShow)
        onFirstShow();
    WithShell([](ShellHost& shell) { shell.ArmUpdateCheck(); });
}

void MainWindow::WithShell(const std::function<void(ShellHost&)>& command) {
    Q_ASSERT_X(shell_ != nullptr, "MainWindow", "a command needs the program's windows: none set");
    if (shell_)
        command(*shell_);
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
    Quietly("сохранение настроек при закрытии",
            [&] { WithShell([](ShellHost& shell) { shell.SaveSettings(); }); });
    e->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    // Typing with no control focused goes to the filter_ box.
    if (!(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && IsTypingText(e->text())) {
        pnFilter_->edFilter->setFocus();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

}  // namespace orv::app
