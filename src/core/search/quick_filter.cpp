#include "search/quick_filter.h"

#include "search/index_choice.h"
#include "search/statements.h"
#include "util/cp1251.h"
#include "util/text.h"

namespace orv {
namespace {

void Show(const StatusFn& status, const std::string& text) {
    if (status)
        status(text);
}

bool IsFiltered(const DataSet& list) {
    return LowerText(list.Sql()).find("where") != std::string::npos;
}

void Reopen(DataSet& list, std::string sql) {
    list.SetSql(std::move(sql));
    list.Open();
}

bool HasCurrentRow(const DataSet& set) {
    return set.Active() && !set.IsEmpty();
}

}  // namespace

std::string FoundStatus(const DataSet& list) {
    return "Запрос выполнен. Найдено " + std::to_string(list.RecordCount());
}

void SetCountedStatus(CommandResult& r, const DataSet& list, std::string text) {
    if (list.Loading()) {
        r.status.reset();
        r.statusBeforeCount = std::move(text);
    } else {
        r.status = text + std::to_string(list.RecordCount());
        r.statusBeforeCount.reset();
    }
}

CommandResult LocateFilterText(DataSet& active, const std::string& nameColumn,
                               std::string_view text) {
    CommandResult r;
    r.highlightSearchWords = false;
    const bool found =
        HasCurrentRow(active) &&
        active.Locate(nameColumn, Trim(text), {.caseInsensitive = true, .partialKey = true});
    if (found) {
        r.redraw = true;
    } else {
        r.status = "Препарат не найден.";
    }
    return r;
}

CommandResult FilterTableName(Reference& ref, std::string_view text) {
    CommandResult r;
    if (Trim(text).empty() && !IsFiltered(ref.qMain))
        return r;
    Reopen(ref.qMain, NameFilterStatement(ref, text));
    r.listChanged = true;
    if (!ref.qMain.IsEmpty()) {
        ref.qMain.Locate(ref.NameColumn(), std::string(text),
                         {.caseInsensitive = true, .partialKey = true});
    }
    r.redraw = true;
    return r;
}

CommandResult UniversalSearch(Reference& ref, std::string_view text, const StatusFn& status) {
    CommandResult r;
    const std::optional<std::string> sql =
        UniversalSearchSql(text, ref.NameColumn(), ref.SearchIndexed());
    if (!sql) {
        r.message = MessageBoxText{"Необходимо ввести критерии поиска!", "Недостаточно данных",
                                   MessageBoxText::Icon::Exclamation};
        return r;
    }
    Show(status, "Выполнение запроса...");
    Reopen(ref.qMain, *UniversalSearchStatement(ref, text));
    r.listChanged = true;
    SetCountedStatus(r, ref.qMain, "Запрос выполнен. Найдено ");
    r.highlightSearchWords = true;
    r.redraw = true;
    return r;
}

CommandResult SubmitFilter(Reference& ref, std::string_view text, bool universal,
                           const StatusFn& status) {
    if (universal)
        return UniversalSearch(ref, text, status);
    CommandResult r = FilterTableName(ref, text);
    r.highlightSearchWords = false;
    return r;
}

CommandResult FilterEnter(Reference& ref, std::string_view text, bool universal, DataSet& active,
                          const StatusFn& status) {
    CommandResult r =
        text.empty() ? N15Click(ref, active) : SubmitFilter(ref, text, universal, status);
    if (!r.highlightSearchWords)
        r.highlightSearchWords = false;
    return r;
}

CommandResult FilterTableSynonim(Reference& ref, std::string_view filterText,
                                 const StatusFn& status) {
    CommandResult r;
    DataSet& list = ref.qMain;
    const std::string& nameColumn = ref.NameColumn();
    // An empty list has no current row: its name, synonyms and id read as empty and 0.
    const bool hasRow = HasCurrentRow(list);
    const std::string name = hasRow ? list.AsText(nameColumn) : std::string();
    const std::string synonim = hasRow ? list.AsText("synonim") : std::string();
    const std::string searchText = Trim(filterText).empty() ? " " + name : std::string(filterText);

    const std::string condition = SynonymCondition(name, synonim, searchText, nameColumn);
    if (condition.empty() && !IsFiltered(list))
        return r;

    Show(status, "Производится выборка по синонимам...");
    const int id = hasRow ? ValueToIntDef(list.Field("id"), 0) : 0;
    const std::string candidates = ref.SearchIndexed()
                                       ? SynonymCandidates(name, synonim, searchText, nameColumn)
                                       : std::string();
    Reopen(list, SynonymStatement(ref, condition, candidates));
    r.listChanged = true;
    list.Locate("id", std::int64_t{id});
    r.redraw = true;
    r.showListPage = true;
    r.status = "Готово";
    return r;
}

CommandResult N15Click(Reference& ref, DataSet& active) {
    CommandResult r;
    r.highlightSearchWords = false;
    // The reset must never bother the user: every error is swallowed. A list without a
    // current row (an empty selection) still resets, to the first row.
    int id = 0;
    try {
        if (HasCurrentRow(active))
            id = ValueToIntDef(active.Field("id"), 0);
    } catch (...) {
    }
    try {
        r.listChanged = true;
        Reopen(ref.qMain, ResetSelectionSql(ref.NameColumn()));
        ref.qMain.Locate("id", std::int64_t{id});
    } catch (...) {
    }
    return r;
}

CommandResult ShowAll(Reference& ref) {
    CommandResult r;
    Reopen(ref.qMain, kShowAllSql);
    r.listChanged = true;
    return r;
}

}  // namespace orv
