#pragma once
// The extended search (its page and its dialog) and the packet filter.
#include <optional>
#include <string>

#include "db/reference.h"
#include "search/command_result.h"
#include "search/statements.h"

namespace orv {

// `btnFindExClick`: every filled criterion must match (all words of each). No criterion:
// the box "Необходимо ввести критерии поиска!" / "Недостаточно данных" (the dialog stays
// open). Otherwise `status` gets "Выполнение запроса..." (hourglass) and the result carries
// "Запрос выполнен. Найдено N". The description is not redrawn: on the page nothing more
// happens; the dialog closes, then the window clears HighlightSearchWords and runs gbAllClick.
CommandResult ExtendedSearch(Reference& ref, const ExtendedCriteria& criteria,
                             const StatusFn& status = {});

// Packet filter (`Button2Click`) from the selected entry of cbPckt (nullopt: none selected):
// the preparations the packet last wrote. "Выберите пакет!" without a selection, "error!"
// when the entry does not start with a number (plain boxes). No redraw, no cursor change.
CommandResult PacketFilter(Reference& ref, const std::optional<std::string>& entry);

}  // namespace orv
