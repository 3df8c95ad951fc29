#pragma once
// Table `inn`: the plain INN key (util/inn_key.h) of every preparation that names one, kept
// beside table b because n13 is stored scrambled. The packet engine writes it with the row;
// an older database gets it, filled from its rows, from EnsureInnKeys.
#include <cstdint>
#include <string>
#include <vector>

#include "db/database.h"

namespace orv {

inline constexpr const char* kInnTableSql =
    "create table inn (id integer primary key, innkey text not null);"
    "create index inn_key on inn (innkey);";

// Creates and fills `inn` when the database has none; nothing otherwise. All or nothing.
void EnsureInnKeys(Database& db);

// Keeps one row's key; the statements are prepared once per writer.
class InnKeyWriter {
  public:
    explicit InnKeyWriter(Database& db);
    // `inn` is the plain INN text; an INN that keys to "" removes the row's key.
    void Set(std::int64_t id, std::string_view inn);
    void Remove(std::int64_t id);

  private:
    Statement put_;
    Statement remove_;
};

// The key of preparation `id`; "" when it has none.
std::string InnKeyOf(Database& db, std::int64_t id);

// The list statement of the analogues of preparation `id`: every preparation with its key.
std::string AnaloguesSql(std::int64_t id, const std::string& nameColumn);

struct Analogue {
    std::int64_t id = 0;
    std::string name;
};
struct AnalogueList {
    std::vector<Analogue> items;  // in name order, the preparation itself left out
    int total = 0;                // all of them, however many `items` holds
};
// The other preparations with the key of `id`, at most `limit` of them.
AnalogueList AnaloguesOf(Database& db, std::int64_t id, const std::string& nameColumn, int limit);

}  // namespace orv
