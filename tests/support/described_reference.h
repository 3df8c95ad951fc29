#pragma once
// A fixture reference whose preparations carry description texts, stored scrambled as the
// packet engine stores them, with groups and manufacturers.
#include <map>
#include <string>

#include "support/fixture_reference.h"
#include "util/text.h"

namespace orv::test {

class DescribedReference : public FixtureReference {
public:
    // `texts`: column (n1..n16, n11 as its unscrambled id list) -> text; n12 is stored plain.
    void AddDescribed(int id, const std::string& name, const std::string& synonim,
                      const std::map<std::string, std::string>& texts) {
        Add({{id, name, synonim}});
        Database db(path());
        for (const auto& [column, text] : texts) {
            Statement st = db.Prepare("update b set " + column + " = ? where id = ?");
            if (column == "n12") {
                st.Bind(1, text);
            } else {
                st.Bind(1, Blob{ScrambleForStorage(text)});
            }
            st.Bind(2, std::int64_t{id});
            st.Step();
        }
    }
    void AddGroup(int id, const std::string& name) {
        Database db(path());
        Statement st = db.Prepare("insert into g (id, pname) values (?, ?)");
        st.Bind(1, std::int64_t{id});
        st.Bind(2, name);
        st.Step();
    }
    void AddManufacturer(int id, const std::string& name) {
        Database db(path());
        Statement st = db.Prepare("insert into i (id, pname) values (?, ?)");
        st.Bind(1, std::int64_t{id});
        st.Bind(2, Blob{ScrambleForStorage(name)});
        st.Step();
    }
};

}  // namespace orv::test
