#include "db/search_index.h"

#include "util/cp1251.h"
#include "util/log.h"

namespace orv {
namespace {

std::string CreateSql(const std::string& name) {
    const std::string t = kSearchIndexTable;
    const std::string cols = name + ", synonim, ndx1, ndx2";
    const std::string newValues = "new.id, new." + name + ", new.synonim, new.ndx1, new.ndx2";
    const std::string oldValues = "old.id, old." + name + ", old.synonim, old.ndx1, old.ndx2";
    const std::string remove = "insert into " + t + " (" + t + ", rowid, " + cols +
                               ") values ('delete', " + oldValues + ");";
    const std::string add =
        "insert into " + t + " (rowid, " + cols + ") values (" + newValues + ");";
    // Only the columns it indexes wake the update trigger: a status change costs nothing.
    // The columns of a row are kept for each trigram, not the positions: a third of the size.
    return "create virtual table " + t + " using fts5(" + cols +
           ", content='b', content_rowid='id', tokenize='trigram', " + kSearchIndexDetail +
           ");"
           "create trigger " +
           t + "_ai after insert on b begin " + add +
           " end;"
           "create trigger " +
           t + "_ad after delete on b begin " + remove +
           " end;"
           "create trigger " +
           t + "_au after update of id, " + cols + " on b begin " + remove + add + " end;";
}

void InSavepoint(Database& db, const std::string& sql) {
    // A savepoint works inside a caller's transaction as well as on its own.
    db.Exec("savepoint search_index");
    try {
        db.Exec(sql);
        db.Exec("release search_index");
    } catch (...) {
        try {
            db.Exec("rollback to search_index");
            db.Exec("release search_index");
        } catch (...) {
            LogCaught("db", "откат изменения индекса поиска");
        }
        throw;
    }
}

std::string FillSql() {
    const std::string t = kSearchIndexTable;
    return "insert into " + t + " (" + t + ") values ('rebuild');";
}

// An index of an older form (with positions) answers the same queries: it is made anew once.
bool IsCurrentForm(Database& db) {
    Statement st = db.Prepare("select sql from sqlite_master where lower(name) = ?");
    st.Bind(1, std::string(kSearchIndexTable));
    return st.Step() && LowerText(st.ColumnText(0)).find(kSearchIndexDetail) != std::string::npos;
}

std::string DropSql() {
    const std::string t = kSearchIndexTable;
    return "drop trigger if exists " + t + "_ai; drop trigger if exists " + t +
           "_ad; drop trigger if exists " + t + "_au; drop table if exists " + t + ";";
}

}  // namespace

bool HasSearchIndex(Database& db) {
    for (const auto& t : db.UserTables()) {
        if (LowerText(t) == kSearchIndexTable)
            return true;
    }
    return false;
}

void EnsureSearchIndex(Database& db, const std::string& nameColumn) {
    if (!HasSearchIndex(db))
        InSavepoint(db, CreateSql(nameColumn) + FillSql());
    else if (!IsCurrentForm(db))
        InSavepoint(db, DropSql() + CreateSql(nameColumn) + FillSql());
}

void RebuildSearchIndex(Database& db, const std::string& nameColumn) {
    if (HasSearchIndex(db) && IsCurrentForm(db))
        InSavepoint(db, FillSql());
    else
        InSavepoint(db, DropSql() + CreateSql(nameColumn) + FillSql());
}

}  // namespace orv
