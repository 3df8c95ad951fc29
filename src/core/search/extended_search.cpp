#include "search/extended_search.h"

#include "search/index_choice.h"
#include "search/quick_filter.h"

namespace orv {

CommandResult ExtendedSearch(Reference& ref, const ExtendedCriteria& criteria,
                             const StatusFn& status) {
    CommandResult r;
    const std::optional<std::string> sql =
        ExtendedSearchSql(criteria, ref.NameColumn(), ref.SearchIndexed());
    if (!sql) {
        r.message = MessageBoxText{"Необходимо ввести критерии поиска!", "Недостаточно данных",
                                   MessageBoxText::Icon::Exclamation};
        return r;
    }
    if (status)
        status("Выполнение запроса...");
    ref.qMain.SetSql(*ExtendedSearchStatement(ref, criteria));
    ref.qMain.Open();
    r.listChanged = true;
    SetCountedStatus(r, ref.qMain, "Запрос выполнен. Найдено ");
    return r;
}

CommandResult PacketFilter(Reference& ref, const std::optional<std::string>& entry) {
    CommandResult r;
    if (!entry) {
        r.message = MessageBoxText{"Выберите пакет!", "", MessageBoxText::Icon::None};
        return r;
    }
    const std::optional<int> packet = PacketNumberOfEntry(*entry);
    if (!packet) {
        r.message = MessageBoxText{"error!", "", MessageBoxText::Icon::None};
        return r;
    }
    ref.qMain.SetSql(PacketFilterSql(*packet, ref.NameColumn()));
    ref.qMain.Open();
    r.listChanged = true;
    SetCountedStatus(r, ref.qMain, "Запрос выполнен. Найдено ");
    return r;
}

}  // namespace orv
