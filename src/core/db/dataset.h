#pragma once
// A data set in the manner of the program's queries: its SQL text is its identity; it is
// opened, walked, located, read and edited row by row.
//
// A "keyed" data set (the preparation list) loads only a few light columns of its result
// (key, name, ...) and reads the current row in full from its table on demand, so that a
// list of every preparation never drags the description texts through memory. Its rows are
// read in the background (db/list_loader.h): Open returns with the first rows, and whatever
// needs a row further on, or the row count, waits for it.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/list_loader.h"
#include "util/value.h"

namespace orv {

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;  // by prefix
};

class DataSet {
  public:
    explicit DataSet(Database& db) : db_(&db) {}
    ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    // Light columns loaded with the result; every other column is read from `table` by `key`.
    void SetKeyed(std::vector<std::string> lightColumns, std::string table, std::string key);
    // Base table and key used by Post and Delete when the data set is not keyed.
    void SetTable(std::string table, std::string key = "id");
    // Rows a keyed data set has when Open returns (a page and more), and how many come in each
    // batch after.
    static constexpr int kFirstRows = 200;
    static constexpr int kBatchRows = 8192;
    void SetBatchRows(int first, int batch);

    const std::string& Sql() const { return sql_; }
    void SetSql(std::string sql);  // closes the data set

    void Open();  // runs the SQL text; on error the data set stays closed and the error is thrown
    void Close();
    bool Active() const { return active_; }

    // The true row count: waits for the rows still being read.
    int RecordCount() const;
    // The rows read so far and whether more are coming; neither waits.
    int LoadedCount() const;
    bool Loading() const;
    bool IsEmpty() const { return rows_.empty(); }
    int RecNo() const { return rows_.empty() ? -1 : pos_; }  // 0-based
    void SetRecNo(int row);
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return eof_ || rows_.empty(); }
    bool Bof() const { return bof_ || rows_.empty(); }

    // Moves to the first row, in the current order, whose column matches; stays put otherwise.
    bool Locate(const std::string& column, const Value& value, LocateOptions options = {});

    std::vector<std::string> ColumnNames() const;
    bool HasColumn(const std::string& column) const;

    // Text of a loaded column in any row, without moving the cursor (for views that paint
    // many rows). Empty for NULL, a row out of range or a column that is not loaded.
    std::string TextAt(int row, const std::string& column) const;

    // Current row. NULL reads as empty text or 0. Unknown columns throw.
    Value Field(const std::string& column) const;
    std::string AsText(const std::string& column) const;
    std::int64_t AsInteger(const std::string& column) const;
    double AsDate(const std::string& column) const;

    // Editing: Insert/Edit, set fields, Post (written to the base table) or Cancel.
    void Insert();
    void Edit();
    void SetField(const std::string& column, const Value& v);
    void Post();
    void Cancel();
    void Delete();  // deletes the current row from the base table and from the result

  private:
    // Makes at least `rows` rows present (fewer when the result is shorter); -1: every row.
    void Pull(int rows) const;
    int ColumnIndex(const std::string& column) const;  // -1 when not loaded
    const std::map<std::string, Value>& FullRow() const;
    void RequireRow() const;
    std::string BaseTable() const;

    Database* db_;
    std::string sql_;
    bool active_ = false;
    std::vector<std::string> columns_;
    mutable std::vector<std::vector<Value>> rows_;
    mutable std::unique_ptr<ListLoader> loader_;
    mutable bool loading_ = false;
    int firstRows_ = kFirstRows;
    int batchRows_ = kBatchRows;
    int pos_ = 0;
    bool eof_ = true;
    bool bof_ = true;

    bool keyed_ = false;
    std::vector<std::string> lightColumns_;
    std::string table_;
    std::string key_ = "id";

    enum class EditState { Browse, Insert, Edit } state_ = EditState::Browse;
    std::map<std::string, Value> pending_;

    mutable std::optional<Value> cachedKey_;
    mutable std::map<std::string, Value> cachedRow_;
};

}  // namespace orv
