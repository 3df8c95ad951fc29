#pragma once
#include <string>
#include <utility>
#include <vector>

#include "db/database.h"

namespace orv {

// Creates a new, empty reference file. `legacy` builds it as an older database is: no
// `packets`, no status/md in `g` and `i`.
void CreateReferenceFile(const std::string& path, bool legacy = false);

// The one-time schema upgrade of an older database.
void CreateTableIfNeed(Database& db);

// "name" if table b has such a column, else "pname".
std::string DetectNameColumn(Database& db);

struct PacketRowCount {
    int packet = 0;
    int rows = 0;
};
// For every packet that still owns rows of b, the number of rows it last wrote.
std::vector<PacketRowCount> PacketStatistics(Database& db);
extern const char* const kPacketStatisticsSql;

}  // namespace orv
