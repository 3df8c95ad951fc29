#pragma once
// The main window: lays out the panes, owns the controllers, and handles show, activation and
// closing. The commands live in MainCommands, the work in the controllers.
#include <QMainWindow>
#include <functional>

#include "app/shell/shell_hooks.h"

class QTabWidget;
class QSplitter;
class QLabel;
class QPushButton;

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

class MainWindow : public QMainWindow {
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

    void ShowStatus(const QString& text);
    QString StatusText() const;

    // The window's own commands (the rest are the controllers').
    void ShowHelp();
    void ShowAbout();
    void FormActivate();

    ProgramState& State() { return state_; }
    ShellHooks hooks;
    std::function<bool()> confirmClose;  // default: the Yes/No question
    std::function<void()> onFirstShow;   // the splash goes away
    std::function<void()> saveSettings;  // closing saves the settings

    // Layout pieces, addressed by the commands and by tests.
    FilterPanel* pnFilter;
    QTabWidget* pc1;
    PreparationListView* gbAll;
    GroupTreeView* gbGr;
    QTabWidget* pc2;
    DescriptionView* descriptionView;
    FieldPanes* fieldPanes;
    QWidget* tsFindEx;
    QSplitter* Splitter1;
    QLabel* sbText;
    QPushButton* btnQ;

    ListsController* lists;
    QuickFilterController* filter;
    DescriptionController* description;
    RecordCounter* counter;
    MainCommands* commands;
    OwnWindows* ownWindows;
    BookmarksController* bookmarks;
    FullDescriptionWindow* reading = nullptr;
    AboutWindow* about = nullptr;

  protected:
    void showEvent(QShowEvent* e) override;    // FormShow on the first showing
    void changeEvent(QEvent* e) override;      // activation
    void closeEvent(QCloseEvent* e) override;  // FormCloseQuery + FormClose
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void BuildLayout();
    void WireControllers();
    void OwnWindowClosed();

    ProgramState& state_;
    bool shown_ = false;
    bool activatePending_ = false;
    int leftPaneWidth_ = 265;
};

}  // namespace orv::app
