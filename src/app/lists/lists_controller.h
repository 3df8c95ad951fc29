#pragma once
// The left pane's two views and their data sets: which one is active, keeping the views on
// the data sets' current rows, the tab switch with its synchronisation, and the lazy tree.
#include <QObject>
#include <functional>

class QTabWidget;
class QAbstractItemView;

namespace orv {
class DataSet;
}

namespace orv::app {

struct ProgramState;
class PreparationListModel;
class PreparationListView;
class GroupTreeView;

class ListsController : public QObject {
    Q_OBJECT
  public:
    ListsController(ProgramState& state, QTabWidget* pc1, PreparationListView* gbAll,
                    GroupTreeView* gbGr, QObject* parent = nullptr);

    // After the reference is open: bind the list to qMain.
    void AttachReference();

    bool TreeActive() const;
    DataSet* ActiveDataSet();         // qMain on the list tab, qGroups on the tree tab
    QAbstractItemView* ActiveGrid();  // gbAll or gbGr likewise

    // qMain has new SQL and was reopened (or failed to open): show its rows and current row.
    void ListReopened();
    // The active data set's cursor moved: the active view follows.
    void FollowCursor();
    void FollowList();
    // Runs `done` with the list's true row count once its rows are read; a reopen drops it.
    void WhenCounted(std::function<void(int)> done);

    void pc1Change();
    // The "Наименования" and "ФармГруппы" commands.
    void ShowListTab();
    void ShowTreeTab();
    // Back to the list tab without the tab-change work (after a synonym selection).
    void ShowListTabQuietly();

    long long CurrentTreeId() const;
    QString CurrentTreeName() const;

    std::function<void()> gbAllClick;                // show the description of the current row
    std::function<void(const QString&)> showStatus;  // ShowStatus

  private:
    void BuildTree();
    void ListCurrentChanged(int row);
    void TreeCurrentChanged();

    ProgramState& state_;
    QTabWidget* pc1_;
    PreparationListView* gbAll_;
    GroupTreeView* gbGr_;
    PreparationListModel* model_;
    bool following_ = false;
    bool quietTabChange_ = false;
};

}  // namespace orv::app
