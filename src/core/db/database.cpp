#include "db/database.h"

#include <sqlite3.h>

#include <filesystem>

#include "db/jet_like.h"
#include "db/russian_collation.h"
#include "db/sqlite_errors.h"
#include "util/error.h"
#include "util/message_text.h"

namespace orv {

void ThrowSqlite(sqlite3* db, const std::string& context) {
    std::string msg = db ? SqliteErrorText(sqlite3_extended_errcode(db), sqlite3_errmsg(db))
                         : "нет соединения с базой данных";
    throw Error(context.empty() ? msg : context + ": " + msg);
}

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db), sql_(sql) {
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, &tail) !=
        SQLITE_OK) {
        ThrowSqlite(db, "Ошибка в запросе «" + CutForMessage(sql) + "»");
    }
}

Statement::Statement(Statement&& o) noexcept : db_(o.db_), stmt_(o.stmt_), sql_(std::move(o.sql_)) {
    o.stmt_ = nullptr;
}

Statement& Statement::operator=(Statement&& o) noexcept {
    if (this != &o) {
        sqlite3_finalize(stmt_);
        db_ = o.db_;
        stmt_ = o.stmt_;
        sql_ = std::move(o.sql_);
        o.stmt_ = nullptr;
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::Bind(int index, const Value& v) {
    int rc = SQLITE_OK;
    if (IsNull(v)) {
        rc = sqlite3_bind_null(stmt_, index);
    } else if (auto* i = std::get_if<std::int64_t>(&v)) {
        rc = sqlite3_bind_int64(stmt_, index, *i);
    } else if (auto* d = std::get_if<double>(&v)) {
        rc = sqlite3_bind_double(stmt_, index, *d);
    } else if (auto* s = std::get_if<std::string>(&v)) {
        rc = sqlite3_bind_text(stmt_, index, s->data(), static_cast<int>(s->size()),
                               SQLITE_TRANSIENT);
    } else if (auto* b = std::get_if<Blob>(&v)) {
        rc = sqlite3_bind_blob(stmt_, index, b->bytes.data(), static_cast<int>(b->bytes.size()),
                               SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK)
        ThrowSqlite(db_, "");
}

bool Statement::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    std::string msg = SqliteErrorText(sqlite3_extended_errcode(db_), sqlite3_errmsg(db_));
    sqlite3_reset(stmt_);
    throw Error(msg);
}

void Statement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(stmt_);
}

std::string Statement::ColumnName(int i) const {
    const char* n = sqlite3_column_name(stmt_, i);
    return n ? n : "";
}

Value Statement::Column(int i) const {
    switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER:
            return static_cast<std::int64_t>(sqlite3_column_int64(stmt_, i));
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt_, i);
        case SQLITE_TEXT: {
            auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
            return std::string(t, static_cast<size_t>(sqlite3_column_bytes(stmt_, i)));
        }
        case SQLITE_BLOB: {
            auto* b = static_cast<const char*>(sqlite3_column_blob(stmt_, i));
            int n = sqlite3_column_bytes(stmt_, i);
            return Blob{b ? std::string(b, static_cast<size_t>(n)) : std::string()};
        }
        default:
            return Null{};
    }
}

std::string Statement::ColumnText(int i) const {
    auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return t ? std::string(t, static_cast<size_t>(sqlite3_column_bytes(stmt_, i))) : std::string();
}

std::int64_t Statement::ColumnInt(int i) const {
    return sqlite3_column_int64(stmt_, i);
}

Database::Database(const std::string& path, Mode mode) : path_(path) {
    if (mode == Mode::OpenExisting) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            throw Error("Не найден файл базы данных «" + path + "»");
        }
    }
    int flags = SQLITE_OPEN_READWRITE | (mode == Mode::CreateNew ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        std::string msg = db_ ? SqliteErrorText(sqlite3_extended_errcode(db_), sqlite3_errmsg(db_))
                              : "недостаточно памяти";
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error("Не удалось открыть базу данных «" + path + "»: " + msg);
    }
    sqlite3_busy_timeout(db_, 5000);
    // Searches scan the index words of every preparation: reading the file through a memory
    // map spares a copy of each page, and a larger cache keeps the small indexes in memory.
    // The map covers the whole file up to the library's own ceiling (SQLITE_MAX_MMAP_SIZE,
    // 2 GB in Debian's build), which the pragma applies by itself; pages beyond it are read.
    sqlite3_exec(db_, "pragma mmap_size = 1099511627776; pragma cache_size = -16384", nullptr,
                 nullptr, nullptr);
    sqlite3_extended_result_codes(db_, 1);
    RegisterJetLike(db_);
    RegisterRussianCollation(db_);
    // Touch the schema now, so that a file that is not a database fails here and not later.
    char* err = nullptr;
    if (sqlite3_exec(db_, "select count(*) from sqlite_master", nullptr, nullptr, &err) !=
        SQLITE_OK) {
        std::string msg =
            SqliteErrorText(sqlite3_extended_errcode(db_), err ? err : sqlite3_errmsg(db_));
        sqlite3_free(err);
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error("Не удалось открыть базу данных «" + path + "»: " + msg);
    }
}

Database::~Database() {
    sqlite3_close_v2(db_);
}

void Database::Exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg =
            SqliteErrorText(sqlite3_extended_errcode(db_), err ? err : sqlite3_errmsg(db_));
        sqlite3_free(err);
        throw Error(msg);
    }
}

Statement Database::Prepare(const std::string& sql) {
    return Statement(db_, sql);
}

std::int64_t Database::Changes() const {
    return sqlite3_changes64(db_);
}

std::vector<std::string> Database::UserTables() {
    std::vector<std::string> names;
    Statement st(db_,
                 "select name from sqlite_master where type='table' and name not like 'sqlite[_]%' "
                 "order by name");
    while (st.Step())
        names.push_back(st.ColumnText(0));
    return names;
}

std::vector<std::string> Database::TableColumns(const std::string& table) {
    std::vector<std::string> cols;
    Statement st(db_, "select name from pragma_table_info(?)");
    st.Bind(1, table);
    while (st.Step())
        cols.push_back(st.ColumnText(0));
    return cols;
}

void Database::Begin() {
    // Takes the write lock at once, so that the busy time-out applies: a deferred transaction
    // that reads first and then writes fails at once when another connection writes.
    Exec("begin immediate");
}
void Database::Commit() {
    Exec("commit");
}
void Database::Rollback() {
    Exec("rollback");
}

}  // namespace orv
