#pragma once
// The row rule of packet lines: one applier per run, holding prepared statements that every
// line of the run reuses. Lines find their rows by id in the tables themselves.
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "db/inn_keys.h"

namespace orv {

class LineApplier {
  public:
    // `nameColumn` names the display-name column of b, i and g; `packet` is N; `appliedAt` is T
    // as a day number.
    LineApplier(Database& db, std::string nameColumn, int packet, double appliedAt);

    // Each applies one non-empty line (windows-1251 text) and throws orv::Error when it fails;
    // a failed line has written nothing.
    void ApplyBaseLine(std::string_view line);
    void ApplyIzgLine(std::string_view line);
    void ApplyGroupLine(std::string_view line);

  private:
    struct Table {
        Statement select;
        Statement remove;
        Statement insert;
        Statement update;
    };
    Table Prepare(const std::string& table, const std::string& insertSql,
                  const std::string& updateSql);
    // Deletes (one field) or returns true when the row may be written (new, or older than N);
    // `exists` tells which.
    bool Admit(Table& t, const std::vector<std::string_view>& fields, std::int64_t id,
               bool& exists);
    void ApplyNamedLine(Table& t, std::string_view line, const char* code, bool scrambled);

    Database& db_;
    std::string nameColumn_;
    int packet_;
    double appliedAt_;
    Table b_;
    Table i_;
    Table g_;
    InnKeyWriter inn_;
    std::vector<std::string_view> fields_;
};

// Field text to integer as a packet line needs it; throws the conversion error.
std::int64_t LineInteger(std::string_view field);

}  // namespace orv
