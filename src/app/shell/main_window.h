#pragma once
// The main window: lays out the panes, owns the controllers, and handles show, activation and
// closing. The commands live in MainCommands, the work in the controllers.
#include <QMainWindow>
#include <functional>

#include "app/bookmarks/bookmarks_host.h"
#include "app/display/description_host.h"
#include "app/lists/lists_host.h"
#include "app/search/filter_host.h"

class QTabWidget;
class QSplitter;
class QLabel;
class QPushButton;

namespace orv {
class SettingsTarget;
}

namespace orv::app {

struct ProgramState;
class FilterPanel;
class PreparationListView;
class GroupTreeView;
class DescriptionView;
class FieldPanes;
class FullDescriptionWindow;
class AboutWindow;
class ListsController;
class QuickFilterController;
class DescriptionController;
class RecordCounter;
class MainCommands;
class OwnWindows;
class BookmarksController;
class ShellHost;

class MainWindow : public QMainWindow,
                   private ListsHost,
                   private FilterHost,
                   private DescriptionHost,
                   private BookmarksHost {
    Q_OBJECT
  public:
    explicit MainWindow(ProgramState& state, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The windows created after this one. Every window of ours that closes sends the list
    // back to its first row (ownWindows->Register for windows added later).
    void ConnectWindows(FullDescriptionWindow* reading, AboutWindow* about, QWidget* yesNo);
    // The reference is open: bind the lists and start the record counter.
    void AttachReference();
    // The last start-up step: first tab of both tab sets, the list on its first row.
    void SelectStartPosition();

    // The left pane's width (a setting); kept until the window has its size.
    void SetLeftPaneWidth(int width);
    int LeftPaneWidth() const;

    void ShowStatus(const QString& text) override;
    QString StatusText() const;

    // The window's own commands (the rest are the controllers').
    void ShowHelp();
    void ShowAbout();
    void FormActivate();

    ProgramState& State() { return state_; }
    // The rest of the program, for the commands that open its windows; nullptr while there is
    // none (at the end).
    void SetShellHost(ShellHost* shell) { shell_ = shell; }
    // Where the page's section list comes from (the settings); nullptr: the designed list.
    void SetSectionSource(const SettingsTarget* settings) { sections_ = settings; }
    // The commands' way there: asserts in debug builds when no host is set, does nothing in
    // release builds.
    void WithShell(const std::function<void(ShellHost&)>& command);
    std::function<bool()> confirmClose;  // default: the Yes/No question
    std::function<void()> onFirstShow;   // the splash goes away

    // The panes and the controllers, as the commands, the hosts and the tests reach them.
    FilterPanel* pnFilter() const { return pnFilter_; }
    QTabWidget* pc1() const { return pc1_; }
    PreparationListView* gbAll() const { return gbAll_; }
    GroupTreeView* gbGr() const { return gbGr_; }
    QTabWidget* pc2() const { return pc2_; }
    DescriptionView* descriptionView() const { return descriptionView_; }
    FieldPanes* fieldPanes() const { return fieldPanes_; }
    QWidget* tsFindEx() const { return tsFindEx_; }
    QSplitter* Splitter1() const { return Splitter1_; }
    QPushButton* btnQ() const { return btnQ_; }
    ListsController* lists() const { return lists_; }
    QuickFilterController* filter() const { return filter_; }
    DescriptionController* description() const { return description_; }
    RecordCounter* counter() const { return counter_; }
    MainCommands* commands() const { return commands_; }
    OwnWindows* ownWindows() const { return ownWindows_; }
    BookmarksController* bookmarks() const { return bookmarks_; }
    FullDescriptionWindow* reading() const { return reading_; }

  protected:
    void showEvent(QShowEvent* e) override;    // FormShow on the first showing
    void changeEvent(QEvent* e) override;      // activation
    void closeEvent(QCloseEvent* e) override;  // FormCloseQuery + FormClose
    void keyPressEvent(QKeyEvent* e) override;

  private:
    // The controllers' hosts: they reach the lists, the description, the history and the
    // settings through these.
    void ShowCurrentDescription() override;
    DataSet* ActiveDataSet() override;
    bool TreeActive() const override;
    void ListReopened() override;
    void FollowCursor() override;
    void ShowListTabQuietly() override;
    void FocusActiveGrid() override;
    void WhenCounted(std::function<void(int)> done) override;
    QString FilterText() const override;
    std::vector<CheckEntry> Sections() const override;
    void OpenPreparation(long long id) override;
    void PageShown(long long id) override;
    void Printed(long long id) override;

    void BuildLayout();
    void WireControllers();
    void OwnWindowClosed();

    // Layout pieces (the component names) and the controllers, all children of the window.
    FilterPanel* pnFilter_ = nullptr;
    QTabWidget* pc1_ = nullptr;
    PreparationListView* gbAll_ = nullptr;
    GroupTreeView* gbGr_ = nullptr;
    QTabWidget* pc2_ = nullptr;
    DescriptionView* descriptionView_ = nullptr;
    FieldPanes* fieldPanes_ = nullptr;
    QWidget* tsFindEx_ = nullptr;
    QSplitter* Splitter1_ = nullptr;
    QLabel* sbText_ = nullptr;
    QPushButton* btnQ_ = nullptr;
    ListsController* lists_ = nullptr;
    QuickFilterController* filter_ = nullptr;
    DescriptionController* description_ = nullptr;
    RecordCounter* counter_ = nullptr;
    MainCommands* commands_ = nullptr;
    OwnWindows* ownWindows_ = nullptr;
    BookmarksController* bookmarks_ = nullptr;
    FullDescriptionWindow* reading_ = nullptr;
    AboutWindow* about_ = nullptr;

    ProgramState& state_;
    ShellHost* shell_ = nullptr;
    const SettingsTarget* sections_ = nullptr;
    bool shown_ = false;
    bool activatePending_ = false;
    int leftPaneWidth_ = 265;
};

}  // namespace orv::app
