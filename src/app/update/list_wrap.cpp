#include "app/update/list_wrap.h"

#include "app/shell/error_box.h"
#include "app/shell/run_reported.h"
#include "app/update/update_host.h"
#include "db/reference.h"

namespace orv::app {

ListWrap::ListWrap(UpdateHost& host) : host_(host) {
    DataSet& q = host_.Ref().qMain;
    sql_ = q.Sql();
    if (q.Active() && !q.IsEmpty() && !q.Eof()) {
        id_ = q.AsInteger("id");
        hadRow_ = true;
    }
    host_.SetListAttached(false);
}

ListWrap::~ListWrap() {
    if (!restored_) {
        try {
            Restore();
        } catch (...) {
        }
    }
}

void ListWrap::Restore() {
    restored_ = true;
    DataSet& q = host_.Ref().qMain;
    host_.SetListAttached(true);
    host_.RowsChanged();
    q.SetSql(sql_);
    // The list comes back also when reopening fails; the error is the caller's to report.
    struct Notify {
        UpdateHost& h;
        ~Notify() { h.ListReopened(); }
    } notify{host_};
    q.Open();
    if (hadRow_)
        q.Locate("id", Value{id_});
}

}  // namespace orv::app
