#pragma once
// The quick filter's window side: the 200 ms typing timer, the keys of the box, and showing
// what the search core's commands return (the list, the status, a message, the redraw).
#include <QObject>
#include <QTimer>
#include <functional>

#include "search/forgiving_search.h"
#include "search/name_index.h"
#include "search/quick_filter.h"

namespace orv {
struct CommandResult;
struct NameSuggestion;
}  // namespace orv

namespace orv::app {

struct ProgramState;
class FilterPanel;
class ListsController;
class SuggestionPopup;

class QuickFilterController : public QObject {
    Q_OBJECT
  public:
    QuickFilterController(ProgramState& state, FilterPanel* panel, ListsController* lists,
                          QWidget* window);

    void edFilterChange();
    void DelayTimer();
    void edFilterEnter();  // Enter released in the box
    void sbFilterClick();
    void FilterTableName(const QString& text);  // also the partner link's entry
    void FilterTableSynonim();
    void N15Click();
    void SpeedButton1Click();
    // "Аналоги по МНН": the preparations with the current one's active substance.
    void FilterTableAnalogues();
    // One preparation by id (a page link, the history, the favourites).
    void OpenPreparation(long long id);

    // Letters typed on a list: appended to the box, which takes the focus.
    void TypeIntoBox(const QString& text);
    // Ctrl released on a list: the box is emptied and focused.
    void ClearBox();
    // A moving key in the box: the active list takes the focus.
    void FocusActiveGrid();

    // A name taken from "Возможно, вы имели в виду:": located as a partner search does.
    void TakeSuggestion(const NameSuggestion& name);
    // The names the matcher knows: built when the list opens, built again once the table
    // changed (a packet, another program). nullptr when it cannot be read: then the searches
    // are only the exact ones.
    const NameMatcher* Names();
    // Table b was written through this program's connection (a packet run): read the names again.
    void NamesChanged();

    QTimer& Delay() { return delay_; }
    SuggestionPopup* Suggestions() { return suggestions_; }

    std::function<void()> gbAllClick;
    std::function<void(const QString&)> showStatus;

  private:
    // Runs a core command that may replace the list and shows its result. A failing statement
    // leaves the list closed (empty) and the error goes to the caller's error box.
    void Run(bool hourglass, const std::function<CommandResult()>& command);
    void Show(const CommandResult& result);
    void Status(const QString& text);
    // The box shows the text without the locate that typing it would start.
    void SetBoxQuietly(const QString& text);
    NameSource NameSourceFn();

    ProgramState& state_;
    FilterPanel* panel_;
    ListsController* lists_;
    QWidget* window_;
    QTimer delay_;
    FilterDelay filterDelay_;
    NameIndex names_;
    SuggestionPopup* suggestions_;
};

}  // namespace orv::app
