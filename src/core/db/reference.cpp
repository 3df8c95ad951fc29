#include "db/reference.h"

#include "db/schema.h"
#include "db/search_index.h"
#include "util/error.h"

namespace orv {

namespace {
std::string WithSlash(std::string dir) {
    if (dir.empty())
        dir = ".";
    if (dir.back() != '/')
        dir += '/';
    return dir;
}

std::unique_ptr<Database> OpenChecked(const std::string& path) {
    auto db = std::make_unique<Database>(path, Database::Mode::OpenExisting);
    bool hasB = false;
    for (const auto& t : db->UserTables())
        hasB = hasB || t == "b" || t == "B";
    if (!hasB)
        throw Error("В базе данных «" + path + "» нет таблицы препаратов (b)");
    return db;
}
}  // namespace

Reference::Reference(const std::string& dir)
    : db_(OpenChecked(WithSlash(dir) + "source.bin")),
      dir_(WithSlash(dir)),
      nameColumn_(DetectNameColumn(*db_)),
      qMain(*db_),
      qGroups(*db_),
      tGroups(*db_),
      qIzg(*db_),
      qWork(*db_),
      qUpd(*db_) {
    qMain.SetKeyed({"id", nameColumn_, "synonim", "g", "status"}, "b", "id");
    qMain.SetSql(InitialListSql());
    qGroups.SetSql("select " + nameColumn_ +
                   ", -id as id, 0 as gr from g where pname<>\"Deleted\" union select " +
                   nameColumn_ + ", id, g as gr from b where g<0");
    tGroups.SetTable("g", "id");
    tGroups.SetSql("select * from g");
    qIzg.SetTable("i", "id");
    qUpd.SetTable("packets", "id");
}

std::string Reference::InitialListSql() const {
    return "select * from b order by " + nameColumn_;
}

bool Reference::SearchIndexed() {
    return HasSearchIndex(*db_);
}

int Reference::TotalPreparations() {
    Statement st = db_->Prepare("select count(*) from b");
    st.Step();
    return static_cast<int>(st.ColumnInt(0));
}

}  // namespace orv
