#pragma once
// Opening one preparation by its id (a link on the page, the history, the favourites).
#include <cstdint>

#include "db/reference.h"
#include "search/command_result.h"

namespace orv {

// qMain moves to the preparation; when the current selection does not hold it, the selection
// is reset first ("Сбросить выборку"). Redraw and the list page. A preparation that no longer
// exists changes nothing: the status "Препарат не найден.".
CommandResult OpenPreparation(Reference& ref, std::int64_t id);

}  // namespace orv
