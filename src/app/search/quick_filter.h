#pragma once
// The quick filter: type-ahead locate after a 200 ms pause, Enter to filter (by name or, with
// the check box, universally), the synonym selection, reset and show all.
#include <QObject>
#include <QTimer>
#include <functional>

namespace orv::app {

struct ProgramState;
class FilterPanel;
class ListsController;

class QuickFilter : public QObject {
    Q_OBJECT
  public:
    QuickFilter(ProgramState& state, FilterPanel* panel, ListsController* lists, QWidget* window);

    void edFilterChange();
    void DelayTimer();
    void edFilterEnter();  // Enter released in the box
    void sbFilterClick();
    void FilterTableName(const QString& text);
    void FilterTableSynonim();
    void N15Click();
    void SpeedButton1Click();

    // Letters typed on a list: appended to the box, which takes the focus.
    void TypeIntoBox(const QString& text);
    // Ctrl released on a list or tapped in the box: the box is emptied and focused.
    void ClearBox();
    // A moving key in the box: the active list takes the focus.
    void FocusActiveGrid();

    QTimer& Delay() { return delay_; }

    std::function<void()> gbAllClick;
    std::function<void(const QString&)> showStatus;

  private:
    void UniversalSearch();
    void Status(const QString& text);

    ProgramState& state_;
    FilterPanel* panel_;
    ListsController* lists_;
    QWidget* window_;
    QTimer delay_;
    bool filterUnchanged_ = false;
};

}  // namespace orv::app
