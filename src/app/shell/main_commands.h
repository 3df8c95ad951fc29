#pragma once
// Every command of the main window: the menu bar, the tool bar, the lists' pop-up menu and
// the keyboard-only commands, each bound to one handler.
#include <QObject>
#include <QString>
#include <map>

class QAction;
class QMenu;
class QToolBar;

namespace orv::app {

class MainWindow;

class MainCommands : public QObject {
    Q_OBJECT
  public:
    explicit MainCommands(MainWindow& window);

    // The command by its component name ("N31", "f21", "print1", ...).
    QAction* Action(const QString& name) const;
    QMenu* PopupMenu1() const { return popup_; }
    QToolBar* ToolBar() const { return toolBar_; }

  private:
    template <class F>
    QAction* Add(const QString& name, const QString& caption, F handler);
    void BuildMenuBar();
    void BuildToolBar();
    void BuildHidden();
    void BuildPopup();

    MainWindow& w_;
    std::map<QString, QAction*> actions_;
    QMenu* popup_ = nullptr;
    QToolBar* toolBar_ = nullptr;
};

}  // namespace orv::app
