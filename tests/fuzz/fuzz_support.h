#pragma once
// Shared pieces of the fuzz targets: a reference in a private folder, table snapshots, and
// a guard that turns any write or malformed statement reaching SQLite into a crash.
#include <sqlite3.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "db/database.h"

namespace orv::fuzz {

// A folder of its own under the temp folder, kept for the process (one per fuzz worker).
inline const std::string& WorkDir() {
    static const std::string dir = [] {
        auto p =
            std::filesystem::temp_directory_path() / ("orvanta-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        return p.string() + "/";
    }();
    return dir;
}

// Every row of a table, each value quoted as SQL would write it, in rowid order.
inline std::string TableSnapshot(Database& db, const std::string& table) {
    std::string cols;
    for (const auto& c : db.TableColumns(table))
        cols += (cols.empty() ? "" : " || ',' || ") + std::string("quote(\"") + c + "\")";
    Statement st = db.Prepare("select " + cols + " from \"" + table + "\" order by rowid");
    std::string out;
    while (st.Step())
        out += st.ColumnText(0) + "\n";
    return out;
}

[[noreturn]] inline void Fail(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "FUZZ INVARIANT: %.*s: %.*s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(std::min<size_t>(detail.size(), 400)), detail.data());
    std::abort();
}

// Denies every action that could change the file; a denied action is a fault of the caller.
inline int ReadOnlyAuthorizer(void*, int action, const char* a, const char*, const char*,
                              const char*) {
    switch (action) {
        case SQLITE_SELECT:
        case SQLITE_READ:
        case SQLITE_FUNCTION:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        case SQLITE_PRAGMA:
            // Reading pragmas (table_info and the like) is harmless; setting one is not.
            return SQLITE_OK;
        default:
            Fail("write reached SQL", a ? a : "?");
    }
}

// SQLite reports every failed prepare through its log: a statement built from typed text must
// always parse. The log is installed before the first connection; it only judges while armed,
// so that setting up a fixture may probe freely.
inline bool& SqliteErrorsArmed() {
    static bool armed = false;
    return armed;
}
inline void LogSqliteErrors() {
    static bool done = [] {
        sqlite3_config(
            SQLITE_CONFIG_LOG,
            +[](void*, int code, const char* msg) {
                const int primary = code & 0xff;
                if (SqliteErrorsArmed() && (primary == SQLITE_ERROR || primary == SQLITE_AUTH))
                    Fail("statement failed in SQLite", msg ? msg : "?");
            },
            nullptr);
        return true;
    }();
    (void)done;
}

}  // namespace orv::fuzz
