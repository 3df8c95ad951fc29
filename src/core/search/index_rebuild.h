#pragma once
// The maintenance rebuild of the search index (Ctrl+Alt+Shift+Backspace released in the
// name criterion of the extended-search page).
#include <string>

#include "db/dataset.h"
#include "search/command_result.h"

namespace orv {

// For every row of `list`, in order: table ndx gets (or keeps) one row for the preparation
// with n1 = index words of its indications (b.n5) and n2 = those of its pharmacological
// action (b.n2); the same words go to b.ndx1 and b.ndx2, which the searches read, so the
// rebuild also repairs the search index of the rows it covers.
//
// Writes through a connection of its own to `databasePath` (the file behind `list`).
// `status` receives "Построение таблиц индексов...", then "N%" after each row (done * 100 /
// total, rounded half to even), then "" at the end. The list is left past its last row.
// A database error ends the rebuild and propagates (orv::Error); the rows done so far stay
// written and the last percentage stays shown.
void RebuildIndexTable(DataSet& list, const std::string& databasePath, const StatusFn& status);

// done * 100 / total rounded to the nearest integer, halves to the even neighbour.
int PercentDone(int done, int total);

}  // namespace orv
