#pragma once
// "Аналоги по МНН": the preparations that hold the same active substance as the current one.
#include <cstdint>
#include <string>

#include "db/dataset.h"
#include "db/reference.h"
#include "search/command_result.h"

namespace orv {

// From the current preparation of `active` (qMain, or qGroups on the tree page): qMain becomes
// every preparation with its INN key, in name order, standing on it; redraw, list page, status
// "Аналоги по МНН «INN»: N". A preparation without a usable INN changes nothing and the
// status says why; a group node or an empty list does nothing.
CommandResult FilterTableAnalogues(Reference& ref, DataSet& active);

// The INN of preparation `id` as its description shows it (unscrambled n13); "" when none.
std::string InnTextOf(Reference& ref, std::int64_t id);

}  // namespace orv
