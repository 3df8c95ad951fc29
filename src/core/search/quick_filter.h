#pragma once
// The quick filter above the preparation list and the commands around it.
//
// Every function takes what the main window gathers (the filter text, the "Расширенный
// поиск" check box, the active data set), works on Reference::qMain and returns what the
// window must show (command_result.h). Database errors while opening a statement propagate
// as orv::Error with qMain left closed; the window shows them in its error box. Where the
// comment says "hourglass", the window shows the wait cursor around the call.
//
// Typical wiring:
//   edFilterChange  -> delay.Changed(); Delay->start()
//   DelayTimer      -> if (delay.Tick()) { Show(LocateFilterText(active, ref.NameColumn(), text));
//   }
//                      Delay->stop() after a locate
//   Enter in the box -> Show(FilterEnter(ref, text, usearch, active))
//   sbFilter        -> Show(SubmitFilter(ref, text, usearch))
//   N14 / dbl click -> Show(FilterTableSynonim(ref, text, status))
//   N15             -> Show(N15Click(ref, active))
//   SpeedButton1    -> Show(ShowAll(ref))
#include <string>
#include <string_view>

#include "db/dataset.h"
#include "db/reference.h"
#include "search/command_result.h"

namespace orv {

// The 200 ms debounce of typing (`Delay`, `FilterUnchanged`) without the timer itself.
class FilterDelay {
  public:
    // edFilterChange: the caller then enables the timer (enabling a running one keeps its period).
    void Changed() { unchanged_ = false; }
    // DelayTimer: true when a whole period passed without a change, so the locate is due now;
    // the caller then locates and disables the timer.
    bool Tick() {
        const bool due = unchanged_;
        unchanged_ = true;
        return due;
    }

  private:
    bool unchanged_ = false;
};

// Incremental locate: moves `active` (qMain, or qGroups on the tree page) to the first name
// beginning with the trimmed text, ignoring case. Found: redraw; otherwise the status
// "Препарат не найден." and the cursor stays. Clears HighlightSearchWords.
CommandResult LocateFilterText(DataSet& active, const std::string& nameColumn,
                               std::string_view text);

// Name filter (`FilterTableName`): the names holding all typed words, the first word at the
// start. An empty text on an unfiltered list does nothing. Lands on the first name beginning
// with the text (untrimmed), then redraw. Hourglass. Also the partner link's entry point.
CommandResult FilterTableName(Reference& ref, std::string_view text);

// Universal search: the words anywhere in names, synonyms and both word indexes. No words:
// the box "Необходимо ввести критерии поиска!" / "Недостаточно данных" and nothing changes.
// Otherwise `status` gets "Выполнение запроса..." before the query (hourglass), and the result
// carries "Запрос выполнен. Найдено N", HighlightSearchWords set, redraw.
CommandResult UniversalSearch(Reference& ref, std::string_view text, const StatusFn& status = {});

// `sbFilterClick`: the universal search when the check box is ticked, otherwise the name
// filter (clearing HighlightSearchWords).
CommandResult SubmitFilter(Reference& ref, std::string_view text, bool universal,
                           const StatusFn& status = {});

// Enter in the filter box: clears HighlightSearchWords; a non-empty text (spaces count)
// submits the filter, an empty one resets the selection.
CommandResult FilterEnter(Reference& ref, std::string_view text, bool universal, DataSet& active,
                          const StatusFn& status = {});

// Synonym selection (`FilterTableSynonim`) from qMain's current row: the rows named like it
// or like one of its synonyms, and those whose synonyms hold the typed words (or, with an
// empty box, the words of its name). Stays on the same preparation, redraws, shows the list
// page, status "Производится выборка по синонимам..." before and "Готово" after. Hourglass.
CommandResult FilterTableSynonim(Reference& ref, std::string_view filterText,
                                 const StatusFn& status = {});

// "Сбросить выборку" (`N15Click`): every preparation, staying on the current preparation of
// `active`. Clears HighlightSearchWords; never redraws; swallows every error.
CommandResult N15Click(Reference& ref, DataSet& active);

// "Показать всё" (`SpeedButton1Click`): every preparation ordered by pname, on the first row.
CommandResult ShowAll(Reference& ref);

// "Запрос выполнен. Найдено " + the row count of qMain.
std::string FoundStatus(const DataSet& list);
// `text` + the row count of qMain as the status; left to the window while the rows are read.
void SetCountedStatus(CommandResult& r, const DataSet& list, std::string text);

}  // namespace orv
