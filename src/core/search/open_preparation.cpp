#include "search/open_preparation.h"

#include "search/statements.h"

namespace orv {

CommandResult OpenPreparation(Reference& ref, std::int64_t id) {
    CommandResult r;
    DataSet& list = ref.qMain;
    if (list.Active() && list.Locate("id", id)) {
        r.redraw = true;
        r.showListPage = true;
        return r;
    }
    Statement exists = ref.Db().Prepare("select 1 from b where id = ?1");
    exists.Bind(1, id);
    if (!exists.Step()) {
        r.status = "Препарат не найден.";
        return r;
    }
    list.SetSql(ResetSelectionSql(ref.NameColumn()));
    list.Open();
    r.listChanged = true;
    r.highlightSearchWords = false;
    list.Locate("id", id);
    r.redraw = true;
    r.showListPage = true;
    return r;
}

}  // namespace orv
