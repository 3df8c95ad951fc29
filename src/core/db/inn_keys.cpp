#include "db/inn_keys.h"

#include "util/cp1251.h"
#include "util/inn_key.h"
#include "util/log.h"
#include "util/text.h"

namespace orv {

namespace {
bool HasInnTable(Database& db) {
    for (const auto& t : db.UserTables()) {
        if (LowerText(t) == "inn")
            return true;
    }
    return false;
}
}  // namespace

void EnsureInnKeys(Database& db) {
    if (HasInnTable(db))
        return;
    // A savepoint works inside a caller's transaction as well as on its own.
    db.Exec("savepoint inn_upgrade");
    try {
        db.Exec(kInnTableSql);
        InnKeyWriter writer(db);
        Statement rows = db.Prepare("select id, n13 from b where n13 is not null");
        while (rows.Step()) {
            writer.Set(rows.ColumnInt(0), UnscrambleFromStorage(ValueToText(rows.Column(1))));
        }
        db.Exec("release inn_upgrade");
    } catch (...) {
        try {
            db.Exec("rollback to inn_upgrade");
            db.Exec("release inn_upgrade");
        } catch (...) {
            LogCaught("db", "откат заполнения ключей МНН");
        }
        throw;
    }
}

InnKeyWriter::InnKeyWriter(Database& db)
    : put_(db.Prepare("insert or replace into inn (id, innkey) values (?1, ?2)")),
      remove_(db.Prepare("delete from inn where id = ?1")) {}

void InnKeyWriter::Set(std::int64_t id, std::string_view inn) {
    const std::string key = InnKey(inn);
    if (key.empty()) {
        Remove(id);
        return;
    }
    put_.Reset();
    put_.Bind(1, id);
    put_.Bind(2, key);
    put_.Step();
    put_.Reset();
}

void InnKeyWriter::Remove(std::int64_t id) {
    remove_.Reset();
    remove_.Bind(1, id);
    remove_.Step();
    remove_.Reset();
}

std::string InnKeyOf(Database& db, std::int64_t id) {
    Statement st = db.Prepare("select innkey from inn where id = ?1");
    st.Bind(1, id);
    return st.Step() ? st.ColumnText(0) : std::string();
}

std::string AnaloguesSql(std::int64_t id, const std::string& nameColumn) {
    const std::string n = std::to_string(id);
    return "select * from b where id in (select id from inn where innkey = (select innkey from "
           "inn where id=" +
           n + ")) order by " + nameColumn;
}

AnalogueList AnaloguesOf(Database& db, std::int64_t id, const std::string& nameColumn, int limit) {
    AnalogueList out;
    const std::string key = InnKeyOf(db, id);
    if (key.empty())
        return out;
    Statement st = db.Prepare("select b.id, b." + nameColumn +
                              " from inn join b on b.id = inn.id where inn.innkey = ?1 and "
                              "b.id <> ?2 order by b." +
                              nameColumn);
    st.Bind(1, key);
    st.Bind(2, id);
    while (st.Step()) {
        if (static_cast<int>(out.items.size()) < limit)
            out.items.push_back({st.ColumnInt(0), st.ColumnText(1)});
        ++out.total;
    }
    return out;
}

}  // namespace orv
