#include "db/schema.h"

#include <algorithm>
#include <filesystem>

#include "db/inn_keys.h"
#include "db/search_index.h"
#include "util/cp1251.h"
#include "util/error.h"

namespace orv {

const char* const kPacketStatisticsSql =
    "SELECT b.status, Count(b.status) AS nn FROM b GROUP BY b.status having status>0";

namespace {
// Small, searched columns first: a scan over names, synonyms and the index words stops
// reading a row before its description texts. Two covering indexes serve the list in name
// order without touching the table: a narrow one for the list and the name filter, and one
// with the index words for the searches that read them. Pages of 32 KB hold a whole index
// entry (a few KB of index words) without overflow pages, which would waste most of a page
// per entry and multiply what a search reads.
const char* const kSchemaCommon = R"SQL(
create table b (
    id integer primary key,
    pname text collate RU,
    synonim text collate RU,
    status integer check (status is null or typeof(status) = 'integer'),
    g integer check (g is null or typeof(g) = 'integer'),
    n12 text,
    ndx1 text,
    ndx2 text,
    md datetime,
    cmd integer,
    n11 blob,
    n1 blob, n2 blob, n3 blob, n4 blob, n5 blob, n6 blob, n7 blob, n8 blob, n9 blob, n10 blob,
    n13 blob, n14 blob, n15 blob, n16 blob
);
create index b_list on b (pname collate RU, id, synonim, g, status);
create index b_search on b (pname collate RU, id, synonim, ndx1, ndx2, g, status);
create index b_status on b (status);
create table settings (key text collate RU primary key, value text);
create table ndx (id integer, n1 text, n2 text);
create index ndx_id on ndx (id);
)SQL";

const char* const kSchemaCurrent = R"SQL(
create table g (id integer, pname text collate RU, status integer, md datetime);
create unique index id on g (id);
create table i (id integer primary key, pname blob, status integer, md datetime);
create table packets (id INT NOT NULL, dt DATETIME, CONSTRAINT kk PRIMARY KEY (id));
)SQL";

const char* const kSchemaLegacy = R"SQL(
create table g (id integer, pname text collate RU);
create unique index id on g (id);
create table i (id integer primary key, pname blob);
)SQL";
}  // namespace

void CreateReferenceFile(const std::string& path, bool legacy) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        throw Error("Файл «" + path + "» уже существует");
    auto parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ec);
    try {
        Database db(path, Database::Mode::CreateNew);
        db.Exec("pragma page_size = 32768");
        db.Exec("begin");
        db.Exec(kSchemaCommon);
        db.Exec(legacy ? kSchemaLegacy : kSchemaCurrent);
        if (!legacy) {
            db.Exec(kInnTableSql);
            EnsureSearchIndex(db, "pname");
        }
        db.Exec("commit");
    } catch (const Error& e) {
        std::filesystem::remove(path, ec);
        throw Error("Не удалось создать базу данных «" + path + "»: " + e.what());
    }
}

void CreateTableIfNeed(Database& db) {
    for (const auto& t : db.UserTables()) {
        if (LowerText(t) == "packets")
            return;
    }
    static const char* const kSteps[] = {
        "create table packets (id INT NOT NULL, dt DATETIME, CONSTRAINT kk PRIMARY KEY (id))",
        "update b set status=0 where status<>0",
        "alter table i ADD COLUMN [status] INT",
        "alter table i ADD COLUMN [md] DATETIME",
        "alter table g ADD COLUMN [status] INT",
        "alter table g ADD COLUMN [md] DATETIME",
    };
    for (const char* sql : kSteps)
        db.Exec(sql);
}

std::string DetectNameColumn(Database& db) {
    Statement st = db.Prepare("select * from b where id=0");
    for (int i = 0; i < st.ColumnCount(); ++i) {
        if (LowerText(st.ColumnName(i)) == "name")
            return "name";
    }
    return "pname";
}

std::vector<PacketRowCount> PacketStatistics(Database& db) {
    std::vector<PacketRowCount> out;
    Statement st = db.Prepare(kPacketStatisticsSql);
    while (st.Step()) {
        out.push_back({static_cast<int>(st.ColumnInt(0)), static_cast<int>(st.ColumnInt(1))});
    }
    return out;
}

}  // namespace orv
