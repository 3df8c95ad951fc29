#include "search/name_index.h"

#include <sqlite3.h>

#include <chrono>

#include "db/reference.h"

namespace orv {
namespace {

// Changes through this connection, and through any other one (data_version moves when
// another connection committed).
std::int64_t ConnectionChanges(Database& db) {
    return sqlite3_total_changes64(db.Handle());
}

std::int64_t DataVersion(Database& db) {
    Statement st = db.Prepare("pragma data_version");
    return st.Step() ? st.ColumnInt(0) : 0;
}

}  // namespace

void LoadNameMatcher(Reference& ref, NameMatcher& matcher) {
    matcher.Clear();
    const std::string& col = ref.NameColumn();
    Statement st =
        ref.Db().Prepare("select id, " + col + ", synonim from b order by " + col + ", id");
    while (st.Step())
        matcher.Add(st.ColumnInt(0), st.ColumnText(1), st.ColumnText(2));
    matcher.Finish();
}

const NameMatcher& NameIndex::Matcher(Reference& ref) {
    Database& db = ref.Db();
    const std::int64_t changes = ConnectionChanges(db);
    const std::int64_t version = DataVersion(db);
    if (built_ && database_ == &db && (otherConnectionsOnly_ || changes == changes_) &&
        version == dataVersion_)
        return matcher_;
    const auto start = std::chrono::steady_clock::now();
    built_ = false;
    LoadNameMatcher(ref, matcher_);
    lastBuildMs_ =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    built_ = true;
    database_ = &db;
    changes_ = changes;
    dataVersion_ = version;
    return matcher_;
}

}  // namespace orv
