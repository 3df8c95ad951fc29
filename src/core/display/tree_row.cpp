#include "display/tree_row.h"

namespace orv {

DataSet* LocateTreePreparation(Reference& ref, std::int64_t id, const std::string& name,
                               bool& fromWork) {
    fromWork = false;
    if (ref.qMain.Active() && ref.qMain.Locate("id", Value{id}))
        return &ref.qMain;
    fromWork = true;
    ref.qWork.SetSql("select * from b where id=" + std::to_string(id));
    ref.qWork.Open();
    if (!ref.qWork.Locate("pname", Value{name}))
        return nullptr;
    return &ref.qWork;
}

}  // namespace orv
