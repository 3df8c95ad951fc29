#pragma once
// The reference database as the program holds it: one shared connection to ProgramDir +
// "source.bin" and the data sets that the main window owns.
#include <memory>
#include <string>

#include "db/database.h"
#include "db/dataset.h"

namespace orv {

class Reference {
  public:
    // Opens dir + "source.bin" (dir ends with a slash or not). Throws orv::Error naming the file
    // when it is missing, not a database, or has no table b; nothing is created on failure.
    explicit Reference(const std::string& dir);

    Database& Db() { return *db_; }
    const std::string& Dir() const { return dir_; }  // with a trailing slash
    const std::string& NameColumn() const { return nameColumn_; }
    std::string FilePath(const std::string& name) const { return dir_ + name; }

    // The start-up list statement: "select * from b order by " + NameColumn.
    std::string InitialListSql() const;
    // Whether the file has the searches' word index (read from the schema, so current).
    bool SearchIndexed();
    // Number of preparations (rows of b).
    int TotalPreparations();

  private:
    std::unique_ptr<Database> db_;
    std::string dir_;
    std::string nameColumn_;

  public:
    DataSet qMain;    // the preparation list (keyed: id, name, synonim, g, status)
    DataSet qGroups;  // the group tree
    DataSet tGroups;  // table g
    DataSet qIzg;     // manufacturers
    DataSet qWork;    // ad-hoc statements
    DataSet qUpd;     // table packets
};

}  // namespace orv
