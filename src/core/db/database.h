#pragma once
// A thin RAII layer over sqlite3: a connection and a prepared statement. Every connection
// gets the Jet-compatible `like` and the Russian collation "RU".
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "util/value.h"

// The SQLite handles stay opaque here; only the files that call SQLite include sqlite3.h.
struct sqlite3;
struct sqlite3_stmt;

namespace orv {

class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int index, const Value& v);  // 1-based
    bool Step();                           // true while a row is available
    void Reset();
    int ColumnCount() const;
    std::string ColumnName(int i) const;
    Value Column(int i) const;
    std::string ColumnText(int i) const;
    std::int64_t ColumnInt(int i) const;

  private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
};

class Database {
  public:
    enum class Mode { OpenExisting, CreateNew };
    // Opens (or, with CreateNew, creates) the file. Errors name the file.
    Database(const std::string& path, Mode mode = Mode::OpenExisting);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* Handle() const { return db_; }
    const std::string& Path() const { return path_; }

    void Exec(const std::string& sql);
    Statement Prepare(const std::string& sql);
    std::int64_t Changes() const;

    std::vector<std::string> UserTables();
    std::vector<std::string> TableColumns(const std::string& table);

    void Begin();
    void Commit();
    void Rollback();

  private:
    sqlite3* db_ = nullptr;
    std::string path_;
};

// Commits on Commit(), rolls back if destroyed before.
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) { db_.Begin(); }
    ~Transaction() {
        if (!done_) {
            try {
                db_.Rollback();
            } catch (...) {
            }
        }
    }
    void Commit() {
        db_.Commit();
        done_ = true;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

  private:
    Database& db_;
    bool done_ = false;
};

// Throws orv::Error carrying SQLite's message.
[[noreturn]] void ThrowSqlite(sqlite3* db, const std::string& context);

}  // namespace orv
