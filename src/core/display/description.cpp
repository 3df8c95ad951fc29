#include "display/description.h"

#include "display/picture.h"
#include "util/text.h"

namespace orv {

TDisplayRec WritePageForCurrentRow(const DataSet& ds, DataSet& lookup,
                                   const std::string& nameColumn, const std::string& pictDir,
                                   PageOptions options, const std::string& fileName) {
    TDisplayRec rec = FillDisplayRec(ds, lookup, nameColumn);
    options.picturePath = PicturePath(pictDir, ValueToIntDef(ds.Field("id"), 0));
    WriteDescriptionPage(fileName, rec, options);
    return rec;
}

}  // namespace orv
