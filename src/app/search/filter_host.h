#pragma once
// What the quick filter's window side needs of the main window: the left pane's lists, the
// status bar and the description.
#include <QString>
#include <functional>

namespace orv {
class DataSet;
}

namespace orv::app {

class FilterHost {
  public:
    virtual ~FilterHost() = default;
    // qMain on the list tab, qGroups on the tree tab; nullptr without a reference.
    virtual DataSet* ActiveDataSet() = 0;
    virtual bool TreeActive() const = 0;
    virtual void ListReopened() = 0;        // qMain has a new result: the list follows
    virtual void FollowCursor() = 0;        // the active data set moved: its view follows
    virtual void ShowListTabQuietly() = 0;  // the list tab without the tab-change work
    virtual void FocusActiveGrid() = 0;
    // `done` gets the list's row count once it is known (at once when it is).
    virtual void WhenCounted(std::function<void(int)> done) = 0;
    virtual void ShowStatus(const QString& text) = 0;
    virtual void ShowCurrentDescription() = 0;  // gbAllClick
};

}  // namespace orv::app
