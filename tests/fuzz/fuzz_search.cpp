// Typed text into every search: the statement builders and the commands that run them, on a
// small reference whose connection refuses every write. The input is up to four texts
// separated by NUL (the filter box or the four extended criteria). A command may refuse with
// its own message; a statement SQLite cannot run, or any write, is a fault.
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "db/reference.h"
#include "db/schema.h"
#include "db/search_index.h"
#include "fuzz_support.h"
#include "search/extended_search.h"
#include "search/partner_link.h"
#include "search/quick_filter.h"
#include "search/statements.h"
#include "util/error.h"
#include "util/text.h"

namespace {

orv::Reference& Fixture() {
    static orv::Reference* ref = [] {
        orv::fuzz::LogSqliteErrors();  // before SQLite initialises, or the log is refused
        const std::string dir = orv::fuzz::WorkDir() + "search/";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        orv::CreateReferenceFile(dir + "source.bin");
        {
            orv::Database db(dir + "source.bin");
            const char* rows[][3] = {
                {"Но-шпа", "Дротаверин, Спазмол", "Спазмы гладкой мускулатуры"},
                {"Аспирин", "Ацетилсалициловая кислота", "Головная боль"},
                {"Витамин C 1,5% [форте]", "", "Гиповитаминоз"},
                {"Nurofen", "Ибупрофен, Нурофен", "Боль, лихорадка"}};
            int id = 1;
            for (const auto& r : rows) {
                orv::Statement st = db.Prepare(
                    "insert into b (id, pname, synonim, ndx1, ndx2, status, g) "
                    "values (?, ?, ?, ?, ?, 3, -1)");
                st.Bind(1, std::int64_t{id++});
                st.Bind(2, std::string(r[0]));
                st.Bind(3, std::string(r[1]));
                st.Bind(4, orv::IndexWords(r[2]));
                st.Bind(5, orv::IndexWords(r[2]));
                st.Step();
            }
        }
        auto* r = new orv::Reference(dir);
        // The first statement on the word index declares its virtual table to the connection,
        // which the authorizer sees as an update of sqlite_master although nothing is written:
        // declared here, before writes are refused, it stays declared.
        r->Db().Prepare(std::string("select rowid from ") + orv::kSearchIndexTable);
        sqlite3_set_authorizer(r->Db().Handle(), orv::fuzz::ReadOnlyAuthorizer, nullptr);
        return r;
    }();
    return *ref;
}

std::vector<std::string> Texts(const std::uint8_t* data, size_t size) {
    std::vector<std::string> texts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && texts.size() < 4)
            texts.emplace_back();
        else
            texts.back() += static_cast<char>(data[i]);
    }
    texts.resize(4);
    return texts;
}

template <typename F>
void AllowRefusal(F&& command) {
    try {
        command();
    } catch (const orv::Error&) {
        // A refusal with the program's own message; SQLite failures abort in the log hook.
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    orv::Reference& ref = Fixture();
    const auto t = Texts(data, size);
    const std::string& column = ref.NameColumn();
    orv::fuzz::SqliteErrorsArmed() = true;

    // The builders alone, and each statement prepared and run.
    std::vector<std::string> sqls;
    const std::string synonym = orv::SynonymCondition(t[1], t[2], t[0], column);
    for (const bool indexed : {false, true}) {
        sqls.push_back(orv::NameFilterSql(t[0], column, indexed));
        if (auto u = orv::UniversalSearchSql(t[0], column, indexed))
            sqls.push_back(*u);
        if (auto e = orv::ExtendedSearchSql({t[0], t[1], t[2], t[3]}, column, indexed))
            sqls.push_back(*e);
        if (!synonym.empty()) {
            const std::string candidates =
                indexed ? orv::SynonymCandidates(t[1], t[2], t[0], column) : std::string();
            sqls.push_back(orv::SynonymSql(synonym, column, candidates));
        }
    }
    if (auto packet = orv::PacketNumberOfEntry(t[0]))
        sqls.push_back(orv::PacketFilterSql(*packet, column));
    for (const auto& sql : sqls) {
        orv::Statement st = ref.Db().Prepare(sql);
        while (st.Step()) {
        }
    }

    // The commands as the window runs them.
    AllowRefusal([&] { orv::LocateFilterText(ref.qMain, column, t[0]); });
    AllowRefusal([&] { orv::FilterTableName(ref, t[0]); });
    AllowRefusal([&] { orv::UniversalSearch(ref, t[0]); });
    AllowRefusal([&] { orv::FilterEnter(ref, t[0], (size & 1) != 0, ref.qMain); });
    AllowRefusal([&] {
        ref.qMain.SetSql(ref.InitialListSql());
        ref.qMain.Open();
        orv::FilterTableSynonim(ref, t[0]);
    });
    AllowRefusal([&] { orv::ExtendedSearch(ref, {t[0], t[1], t[2], t[3]}); });
    AllowRefusal([&] { orv::PacketFilter(ref, t[0]); });
    AllowRefusal([&] { orv::ESearch(ref.qMain, column, t[0]); });
    AllowRefusal([&] { orv::N15Click(ref, ref.qMain); });
    orv::fuzz::SqliteErrorsArmed() = false;
    return 0;
}
