#include "search/search_bridge.h"

#include "db/reference.h"
#include "util/text.h"

namespace orv::app::searchcore {

bool LocateName(DataSet& data, const std::string& nameColumn, const std::string& text) {
    if (!data.Active())
        return false;
    return data.Locate(nameColumn, Value{text}, {.caseInsensitive = true, .partialKey = true});
}

// The filters below wait for the search core's condition builders.
bool FilterTableName(Reference&, const std::string&) {
    return false;
}

bool UniversalSearch(Reference&, const std::string&) {
    return false;
}

bool FilterTableSynonim(Reference&, const std::string&) {
    return false;
}

void ResetSelection(Reference& ref, DataSet& active) {
    const int id = active.Active() && !active.IsEmpty() ? ValueToIntDef(active.Field("id"), 0) : 0;
    ref.qMain.SetSql("select * from b where id>0 order by " + ref.NameColumn());
    ref.qMain.Open();
    ref.qMain.Locate("id", Value{std::int64_t{id}});
}

void ShowAll(Reference& ref) {
    ref.qMain.SetSql("select * from b order by pname");
    ref.qMain.Open();
}

}  // namespace orv::app::searchcore
