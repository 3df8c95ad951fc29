// The word index only narrows: every search run with it must give the ids, in the order, that
// the plain statement gives. Random queries from the data of a generated reference, before and
// after packets change, add and delete rows, on the list's statement and on the bare one.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "db/reference.h"
#include "db/search_index.h"
#include "search/extended_search.h"
#include "search/quick_filter.h"
#include "search/statements.h"
#include "support/fixture_reference.h"
#include "support/packet_builder.h"
#include "update/packet_engine.h"
#include "update/packet_generator.h"
#include "util/cp1251.h"

using namespace orv;
using orv::test::FixtureReference;
using orv::test::PrepLine;
using orv::test::WritePacket;

namespace {

std::u32string Chars(std::string_view utf8) {
    std::u32string out;
    for (size_t pos = 0; pos < utf8.size();)
        out.push_back(DecodeUtf8(utf8, pos));
    return out;
}

std::string Utf8(const std::u32string& chars) {
    std::string out;
    for (char32_t c : chars)
        AppendUtf8(out, c);
    return out;
}

struct Row {
    std::string id;
    std::array<std::u32string, 4> columns;  // name, synonyms, ndx1, ndx2
};

class Queries {
  public:
    explicit Queries(Database& db) {
        Statement st = db.Prepare("select id, pname, synonim, ndx1, ndx2 from b");
        while (st.Step()) {
            Row r{st.ColumnText(0), {}};
            for (int c = 0; c < 4; ++c)
                r.columns[static_cast<size_t>(c)] = Chars(st.ColumnText(c + 1));
            rows_.push_back(std::move(r));
        }
    }

    // One to three words: pieces of stored texts (short ones too), a piece across the end of
    // one column and the start of the next, stray characters; letters in random case, е and
    // ё swapped now and then.
    std::string Text() {
        std::string text = Pick(4) == 0 ? " " : "";
        const size_t words = 1 + Pick(3);
        for (size_t w = 0; w < words; ++w) {
            if (w > 0)
                text += ' ';
            text += Word();
        }
        return text;
    }

    const Row& AnyRow() { return rows_[Pick(rows_.size())]; }

    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

  private:
    std::string Word() {
        static const std::u32string kStray = U"_%[]'\"!-,.0123456789ёЁеЕKk";
        const size_t kind = Pick(10);
        std::u32string w;
        if (kind == 0) {
            for (size_t n = 1 + Pick(4); n > 0; --n)
                w += kStray[Pick(kStray.size())];
        } else {
            const Row& r = AnyRow();
            const size_t c = Pick(4);
            std::u32string source = r.columns[c];
            if (kind == 1 && c < 3)
                source = source.substr(source.size() > 4 ? source.size() - 4 : 0) +
                         r.columns[c + 1].substr(0, 4);
            if (source.empty())
                return "абв";
            const size_t length = kind == 2 ? 1 + Pick(2) : 3 + Pick(7);
            const size_t start = Pick(source.size());
            w = source.substr(start, length);
        }
        for (char32_t& ch : w) {
            ch = Pick(2) ? UpperChar(ch) : LowerChar(ch);
            if (Pick(8) == 0 && (ch == U'е' || ch == U'ё'))
                ch = ch == U'е' ? U'ё' : U'е';
        }
        std::string out = Utf8(w);
        // A space in a piece would split it: keep it one word.
        for (char& ch : out)
            ch = ch == ' ' ? '_' : ch;
        return out;
    }

    std::vector<Row> rows_;
    std::mt19937_64 rng_{20261210};
};

std::vector<std::int64_t> Ids(Database& db, const std::string& sql) {
    std::vector<std::int64_t> ids;
    Statement st = db.Prepare(sql);
    while (st.Step())
        ids.push_back(st.ColumnInt(0));
    return ids;
}

// As the list opens it, and bare as --sql prints it.
std::array<std::string, 2> Forms(const std::string& sql) {
    return {"select id, pname, synonim, g, status from (" + sql + ")", sql};
}

struct Tally {
    int statements = 0;
    int indexed = 0;  // statements the index narrowed
    int found = 0;    // of those, the ones that found rows
};

void ExpectSame(Database& db, const std::string& plain, const std::string& indexed, Tally& t) {
    ++t.statements;
    if (indexed == plain)
        return;
    ++t.indexed;
    for (int f = 0; f < 2; ++f) {
        const auto want = Ids(db, Forms(plain)[static_cast<size_t>(f)]);
        const auto got = Ids(db, Forms(indexed)[static_cast<size_t>(f)]);
        ASSERT_EQ(got, want) << indexed;
        t.found += (f == 0 && !want.empty()) ? 1 : 0;
    }
}

void RunQueries(Database& db, int count, Tally& t) {
    Queries q(db);
    const std::string col = "pname";
    for (int i = 0; i < count && !::testing::Test::HasFatalFailure(); ++i) {
        const std::string text = q.Text();
        ExpectSame(db, NameFilterSql(text, col), NameFilterSql(text, col, true), t);
        const auto universal = UniversalSearchSql(text, col);
        ASSERT_EQ(UniversalSearchSql(text, col, true).has_value(), universal.has_value());
        if (universal)
            ExpectSame(db, *universal, *UniversalSearchSql(text, col, true), t);

        ExtendedCriteria criteria;
        for (std::string* field :
             {&criteria.name, &criteria.synonyms, &criteria.indications, &criteria.action}) {
            if (q.Pick(2) == 0)
                *field = q.Pick(2) == 0 ? text : q.Text();
        }
        if (const auto plain = ExtendedSearchSql(criteria, col))
            ExpectSame(db, *plain, *ExtendedSearchSql(criteria, col, true), t);

        const Row& row = q.AnyRow();
        const std::string name = Utf8(row.columns[0]);
        const std::string synonim = Utf8(row.columns[1]);
        const std::string search = q.Pick(2) == 0 ? " " + name : text;
        const std::string condition = SynonymCondition(name, synonim, search, col);
        if (!condition.empty()) {
            ExpectSame(db, SynonymSql(condition, col),
                       SynonymSql(condition, col, SynonymCandidates(name, synonim, search, col)),
                       t);
        }
    }
}

void Install(Reference& ref, const std::string& path) {
    auto run = ApplyPacket(ref, path);
    while (run->Running())
        run->Tick(std::chrono::milliseconds(50));
    ASSERT_EQ(run->CurrentState(), PacketRun::State::Completed);
}

}  // namespace

TEST(SearchIndex, RandomSearchesFindWhatThePlainStatementsFind) {
    FixtureReference fx;
    Reference ref(fx.dir.str());
    GeneratorOptions o;
    o.preparations = 800;
    WritePacketFile(fx.dir.file("1.pckt"), BuildPacketText(GeneratePacket(o)));
    Install(ref, fx.dir.file("1.pckt"));

    // Names alike apart from case or ё (ties of the collation), letters of the whole
    // windows-1251 repertoire, quotes and brackets.
    std::vector<std::string> lines;
    const char* const names[] = {"Ёлка",    "ЁЛКА",          "ёлка",         "Елка",
                                 "елка",    "Ўїєґіђ Љњќћџ",  "ЎЇЄҐІЂ ЉЊЌЋЏ", "Аспирин",
                                 "аспирин", "АСПИРИН",       "Kelvin",       "KELVIN",
                                 "O'Brien", "[Форте] \"Н\"", "Но-шпа",       "НО-ШПА"};
    int id = 5000;
    for (const char* n : names)
        lines.push_back(PrepLine(id++, n, {{4, std::string(n) + ", Синоним " + n}}, true));
    for (int changed = 1; changed <= 60; ++changed)  // renamed
        lines.push_back(PrepLine(changed * 7, names[changed % 16], {}, true));
    for (int gone = 1; gone <= 60; ++gone)  // deleted
        lines.push_back(std::to_string(gone * 11 + 3));
    WritePacket(fx.dir.file("2.pckt"), 2, lines);

    Tally t;
    RunQueries(ref.Db(), 600, t);
    Install(ref, fx.dir.file("2.pckt"));
    RunQueries(ref.Db(), 600, t);
    // The index filled anew from the rows answers alike.
    RebuildSearchIndex(ref.Db(), "pname");
    RunQueries(ref.Db(), 200, t);

    // The queries did exercise the index, and found rows with it.
    RecordProperty("statements", t.statements);
    std::printf("statements: %d, narrowed: %d, found rows: %d\n", t.statements, t.indexed, t.found);
    EXPECT_GT(t.indexed, t.statements / 2);
    EXPECT_GT(t.found, t.indexed / 5);
}

TEST(SearchIndex, AnOlderFileGetsItsIndexWithTheSchemaUpgrade) {
    FixtureReference fx(true);
    fx.Add({{1, "Но-шпа", "Дротаверин"}, {2, "НО-ШПА форте", ""}, {3, "Аспирин", "Но-шпа"}});
    Reference ref(fx.dir.str());
    EXPECT_FALSE(ref.SearchIndexed());
    InitUpd(ref);
    ASSERT_TRUE(ref.SearchIndexed());
    const std::string sql = *UniversalSearchSql("шпа", "pname", true);
    ASSERT_NE(sql, *UniversalSearchSql("шпа", "pname"));
    EXPECT_EQ(Ids(ref.Db(), sql), (std::vector<std::int64_t>{3, 1, 2}));

    // Writes of any kind keep it current.
    ref.Db().Exec("update b set pname='Дротаверин' where id=1");
    ref.Db().Exec("delete from b where id=3");
    ref.Db().Exec("insert into b (id, pname, synonim) values (4, 'но-шпа', '')");
    EXPECT_EQ(Ids(ref.Db(), sql), (std::vector<std::int64_t>{4, 2}));
    EXPECT_EQ(Ids(ref.Db(), *UniversalSearchSql("дрота", "pname", true)),
              (std::vector<std::int64_t>{1}));
}

TEST(SearchIndex, AnIndexOfTheOlderFormIsMadeAnew) {
    FixtureReference fx;
    fx.Add({{1, "Но-шпа", "Дротаверин"}, {2, "Мигренол", ""}, {3, "Аспирин", "Мигренол"}});
    Reference ref(fx.dir.str());
    // The form of before: positions kept, and phrases asked for.
    ref.Db().Exec(
        "drop table b_words; create virtual table b_words using fts5(pname, synonim, ndx1, ndx2, "
        "content='b', content_rowid='id', tokenize='trigram');"
        "insert into b_words (b_words) values ('rebuild')");
    const std::string sql = *UniversalSearchSql("игрено", "pname", true);
    EXPECT_EQ(Ids(ref.Db(), sql), (std::vector<std::int64_t>{3, 2}));

    InitUpd(ref);
    Statement st = ref.Db().Prepare("select sql from sqlite_master where name = 'b_words'");
    ASSERT_TRUE(st.Step());
    EXPECT_NE(st.ColumnText(0).find(kSearchIndexDetail), std::string::npos);
    EXPECT_EQ(Ids(ref.Db(), sql), (std::vector<std::int64_t>{3, 2}));
    ref.Db().Exec("update b set synonim = '' where id = 3");
    EXPECT_EQ(Ids(ref.Db(), sql), (std::vector<std::int64_t>{2}));
}

// A word in most rows is found by the scan, a rare one through the index: the same rows.
TEST(SearchIndex, TheCommandsScanForAWordInMostRows) {
    FixtureReference fx;
    fx.Exec(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2400) "
        "insert into b (id, pname, synonim, g, status) select i, 'Препарат ' || i || "
        "case when i % 10 = 0 then ' форте' else '' end, "
        "case when i % 300 = 0 then 'Редкостин' else '' end, 0, 0 from n");
    Reference ref(fx.dir.str());
    const std::string col = "pname";
    const struct {
        std::string text;
        bool scans;
    } cases[] = {{"препарат", true}, {"редкост", false}, {"арат 12", true}};
    for (const auto& c : cases) {
        UniversalSearch(ref, c.text);
        const std::string plain = *UniversalSearchSql(c.text, col);
        EXPECT_EQ(ref.qMain.Sql(), c.scans ? plain : *UniversalSearchSql(c.text, col, true))
            << c.text;
        EXPECT_EQ(Ids(ref.Db(), ref.qMain.Sql()), Ids(ref.Db(), plain)) << c.text;
        EXPECT_GT(ref.qMain.RecordCount(), 0) << c.text;

        FilterTableName(ref, " " + c.text);
        EXPECT_EQ(ref.qMain.Sql() == NameFilterSql(" " + c.text, col), c.scans) << c.text;
        ExtendedSearch(ref, {.name = c.text});
        EXPECT_EQ(ref.qMain.Sql() == *ExtendedSearchSql({.name = c.text}, col), c.scans) << c.text;
    }
    // A word in a tenth of the names: the scan of the names costs less than as many look-ups,
    // the scan of the word columns does not.
    FilterTableName(ref, " форте");
    EXPECT_EQ(ref.qMain.Sql(), NameFilterSql(" форте", col));
    UniversalSearch(ref, "форте");
    EXPECT_EQ(ref.qMain.Sql(), *UniversalSearchSql("форте", col, true));
    EXPECT_EQ(ref.qMain.RecordCount(), 240);
}
