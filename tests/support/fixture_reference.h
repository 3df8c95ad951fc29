#pragma once
// A small reference file in a temporary folder, filled by plain SQL.
#include <string>
#include <vector>

#include "db/database.h"
#include "db/schema.h"
#include "support/temp_dir.h"

namespace orv::test {

struct FixturePreparation {
    int id;
    std::string name;
    std::string synonim;
    int g = 0;
    int status = 0;
};

class FixtureReference {
  public:
    explicit FixtureReference(bool legacy = false) {
        CreateReferenceFile(dir.file("source.bin"), legacy);
    }
    void Add(const std::vector<FixturePreparation>& rows) {
        Database db(dir.file("source.bin"));
        for (const auto& r : rows) {
            Statement st =
                db.Prepare("insert into b (id, pname, synonim, g, status) values (?, ?, ?, ?, ?)");
            st.Bind(1, std::int64_t{r.id});
            st.Bind(2, r.name);
            st.Bind(3, r.synonim);
            st.Bind(4, std::int64_t{r.g});
            st.Bind(5, std::int64_t{r.status});
            st.Step();
        }
    }
    void Exec(const std::string& sql) {
        Database db(dir.file("source.bin"));
        db.Exec(sql);
    }
    std::string path() const { return dir.file("source.bin"); }

    TempDir dir;
};

}  // namespace orv::test
