#pragma once
// The core of a selection: the record of the current row and its page file.
#include <string>

#include "display/display_rec.h"
#include "display/page.h"

namespace orv {

// Fills the record from the current row of `ds` (look-ups through `lookup`), picks the picture
// of the row's id in `pictDir` and writes the page to `fileName`. `options.picturePath` is
// replaced by the picture found. Returns the record (the field panes show it too).
TDisplayRec WritePageForCurrentRow(const DataSet& ds, DataSet& lookup,
                                   const std::string& nameColumn, const std::string& pictDir,
                                   PageOptions options, const std::string& fileName);

}  // namespace orv
