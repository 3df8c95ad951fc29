#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/reference.h"
#include "support/fixture_reference.h"
#include "util/error.h"
#include "util/text.h"

using namespace orv;
using orv::test::FixtureReference;

namespace {
class ListFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        fx.Add({{3, "Но-шпа", "Дротаверин,Спазмол", -1},
                {1, "Аспирин", "Ацетилсалициловая кислота", -2},
                {2, "анальгин", ""},
                {4, "Ёршик", ""},
                {5, "Ежевика", ""}});
        fx.Exec("update b set n1 = x'41', n12 = '7' where id = 3");
    }
    FixtureReference fx;
};
}  // namespace

TEST_F(ListFixture, ListIsOrderedByNameAndReadsFullRowOnDemand) {
    Reference ref(fx.dir.str());
    EXPECT_EQ(ref.NameColumn(), "pname");
    EXPECT_EQ(ref.qMain.Sql(), "select * from b order by pname");
    ref.qMain.Open();
    std::vector<std::string> names;
    for (ref.qMain.First(); !ref.qMain.Eof(); ref.qMain.Next())
        names.push_back(ref.qMain.AsText("pname"));
    EXPECT_EQ(names,
              (std::vector<std::string>{"анальгин", "Аспирин", "Ежевика", "Ёршик", "Но-шпа"}));
    EXPECT_EQ(ref.qMain.RecordCount(), 5);
    EXPECT_EQ(ref.TotalPreparations(), 5);

    ASSERT_TRUE(ref.qMain.Locate("id", std::int64_t{3}));
    EXPECT_EQ(ref.qMain.AsText("n12"), "7");  // not a light column: read from the table
    EXPECT_EQ(ref.qMain.AsInteger("n12"), 7);
    EXPECT_EQ(std::get<Blob>(ref.qMain.Field("n1")).bytes, "A");
    EXPECT_EQ(ref.qMain.AsText("n2"), "");  // NULL reads as empty
    EXPECT_EQ(ref.qMain.AsInteger("md"), 0);
    EXPECT_THROW(ref.qMain.Field("nosuch"), Error);
}

TEST_F(ListFixture, LocateExactPrefixAndCase) {
    Reference ref(fx.dir.str());
    ref.qMain.Open();
    struct Case {
        const char* text;
        LocateOptions opt;
        bool found;
        int id;
    };
    const Case cases[] = {
        {"но", {true, true}, true, 3},        {"НО-ШПА", {true, false}, true, 3},
        {"НО-ШПА", {false, false}, false, 0}, {"Но-ш", {false, true}, true, 3},
        {"ан", {false, true}, true, 2},       {"Ан", {false, true}, false, 0},
        {"ёр", {true, true}, true, 4},        {"", {true, true}, true, 2},
        {"Я", {true, true}, false, 0},
    };
    for (const auto& c : cases) {
        ref.qMain.Locate("id", std::int64_t{1});
        bool found = ref.qMain.Locate("pname", std::string(c.text), c.opt);
        EXPECT_EQ(found, c.found) << c.text;
        EXPECT_EQ(ref.qMain.AsInteger("id"), c.found ? c.id : 1)
            << c.text;  // stays put when not found
    }
    EXPECT_TRUE(ref.qMain.Locate("id", std::string("5")));
    EXPECT_EQ(ref.qMain.AsText("pname"), "Ежевика");
}

TEST_F(ListFixture, EditPostInsertDelete) {
    Reference ref(fx.dir.str());
    ref.tGroups.Open();
    ref.tGroups.Insert();
    ref.tGroups.SetField("id", std::int64_t{9});
    ref.tGroups.SetField("pname", std::string("Спазмолитики"));
    ref.tGroups.Post();
    EXPECT_EQ(ref.tGroups.RecordCount(), 1);
    ref.tGroups.Edit();
    ref.tGroups.SetField("pname", std::string("Спазмолитики миотропные"));
    ref.tGroups.Post();
    ref.tGroups.Open();
    ASSERT_TRUE(ref.tGroups.Locate("id", std::int64_t{9}));
    EXPECT_EQ(ref.tGroups.AsText("pname"), "Спазмолитики миотропные");
    ref.tGroups.Delete();
    EXPECT_TRUE(ref.tGroups.IsEmpty());
    ref.tGroups.Open();
    EXPECT_EQ(ref.tGroups.RecordCount(), 0);
}

TEST_F(ListFixture, TreeQueryLeavesOutDeletedGroupsAndLooseRows) {
    fx.Exec("insert into g (id, pname) values (1, 'Спазмолитики'), (2, 'НПВС'), (3, 'Deleted')");
    Reference ref(fx.dir.str());
    ref.qGroups.Open();
    EXPECT_EQ(ref.qGroups.RecordCount(), 4);  // two groups, two preparations
    EXPECT_FALSE(ref.qGroups.Locate("id", std::int64_t{-3}));
    ASSERT_TRUE(ref.qGroups.Locate("id", std::int64_t{3}));
    EXPECT_EQ(ref.qGroups.AsInteger("gr"), -1);
}

TEST_F(ListFixture, FailingStatementCarriesSqliteMessageAndLeavesSetClosed) {
    Reference ref(fx.dir.str());
    ref.qMain.SetSql("select * from b where nosuch = 1 order by pname");
    try {
        ref.qMain.Open();
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("nosuch"), std::string::npos);
    }
    EXPECT_FALSE(ref.qMain.Active());
    EXPECT_EQ(ref.qMain.RecordCount(), 0);
}

namespace {
// A list long enough for many batches: names out of id order, with ties, so that the order
// of the result is the statement's and not the table's.
class LongListFixture : public ::testing::Test {
  protected:
    static constexpr int kRows = 1500;
    void SetUp() override {
        Database db(fx.path());
        db.Begin();
        Statement st = db.Prepare("insert into b (id, pname, synonim, g) values (?, ?, ?, -1)");
        for (int id = 1; id <= kRows; ++id) {
            st.Reset();
            st.Bind(1, std::int64_t{id});
            st.Bind(2, "Препарат " + std::to_string((id * 7919) % 500));
            st.Bind(3, id % 3 == 0 ? "форте" : "");
            st.Step();
        }
        db.Commit();
    }
    static std::vector<std::int64_t> Ids(Reference& ref, const std::string& sql) {
        std::vector<std::int64_t> ids;
        Statement st = ref.Db().Prepare("select id from (" + sql + ")");
        while (st.Step())
            ids.push_back(st.ColumnInt(0));
        return ids;
    }
    FixtureReference fx;
};
}  // namespace

TEST_F(LongListFixture, BatchedListHasTheStatementsRowsInItsOrder) {
    const char* const statements[] = {
        "select * from b order by pname",
        "select * from b where synonim like '%форте%' order by pname, id desc",
        "select * from b where id <= 5 order by pname",  // within the first batch
        "select * from b where id < 0",                  // nothing
    };
    Reference ref(fx.dir.str());
    ref.qMain.SetBatchRows(7, 50);
    for (const char* sql : statements) {
        SCOPED_TRACE(sql);
        const std::vector<std::int64_t> expected = Ids(ref, sql);
        ref.qMain.SetSql(sql);
        ref.qMain.Open();
        EXPECT_LE(ref.qMain.LoadedCount(), static_cast<int>(expected.size()));
        std::vector<std::int64_t> walked;
        for (ref.qMain.First(); !ref.qMain.Eof(); ref.qMain.Next())
            walked.push_back(ref.qMain.AsInteger("id"));
        EXPECT_EQ(walked, expected);
        EXPECT_EQ(ref.qMain.RecordCount(), static_cast<int>(expected.size()));
        EXPECT_FALSE(ref.qMain.Loading());
        EXPECT_EQ(ref.qMain.IsEmpty(), expected.empty());
        // The count alone, asked for first, is the whole result too.
        ref.qMain.Open();
        EXPECT_EQ(ref.qMain.RecordCount(), static_cast<int>(expected.size()));
    }
}

TEST_F(LongListFixture, RowsPastTheFirstBatchAreReachedByEveryMove) {
    Reference ref(fx.dir.str());
    const std::string sql = ref.InitialListSql();
    const std::vector<std::int64_t> ids = Ids(ref, sql);
    DataSet& list = ref.qMain;
    list.SetBatchRows(10, 64);
    auto open = [&] {
        list.SetSql(sql);
        list.Open();
    };

    open();
    const std::int64_t far = ids[ids.size() - 3];
    ASSERT_TRUE(list.Locate("id", Value{far}));
    EXPECT_EQ(list.RecNo(), kRows - 3);
    EXPECT_EQ(list.AsInteger("id"), far);
    EXPECT_EQ(list.AsText("synonim"), far % 3 == 0 ? "форте" : "");  // the full row on demand
    EXPECT_FALSE(list.Locate("id", Value{std::int64_t{kRows + 1}}));
    EXPECT_EQ(list.RecNo(), kRows - 3);

    open();
    list.Last();
    EXPECT_EQ(list.RecNo(), kRows - 1);
    EXPECT_EQ(list.AsInteger("id"), ids.back());

    open();
    list.SetRecNo(1000);
    EXPECT_EQ(list.AsInteger("id"), ids[1000]);
    open();
    list.SetRecNo(kRows + 50);  // past the end: the last row
    EXPECT_EQ(list.RecNo(), kRows - 1);

    open();
    EXPECT_EQ(list.TextAt(1200, "id"), std::to_string(ids[1200]));
    EXPECT_EQ(list.TextAt(kRows, "id"), "");

    // Reopened while the first read is still going: only the new statement's rows.
    open();
    list.SetSql("select * from b where id > 1400 order by id");
    list.Open();
    EXPECT_EQ(list.RecordCount(), 100);
    EXPECT_EQ(list.AsInteger("id"), 1401);

    open();
    list.Delete();  // the row goes from the table and from the whole list
    EXPECT_EQ(list.RecordCount(), kRows - 1);
    EXPECT_EQ(list.AsInteger("id"), ids[1]);
}

TEST_F(LongListFixture, ListReadsWhatItsConnectionSeesAndBlocksNoWriter) {
    Reference ref(fx.dir.str());
    DataSet& list = ref.qMain;
    list.SetBatchRows(10, 64);

    // Inside a transaction of ours, the list has its rows as they stand in it.
    ref.Db().Begin();
    ref.Db().Exec("insert into b (id, pname) values (5000, 'Новый')");
    list.Open();
    EXPECT_TRUE(list.Locate("id", Value{std::int64_t{5000}}));
    EXPECT_EQ(list.RecordCount(), kRows + 1);
    ref.Db().Rollback();

    // A list being read holds nothing open on the program's connection: a write made right
    // after opening it is committed at once, as another connection sees.
    list.Open();
    ref.Db().Exec("update b set pname = 'Изменён' where id = 1");
    Database other(fx.path());
    Statement st = other.Prepare("select pname from b where id = 1");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColumnText(0), "Изменён");
    EXPECT_EQ(list.RecordCount(), kRows);
}

TEST(ReferenceOpen, BadFilesNameTheFileAndCreateNothing) {
    orv::test::TempDir dir;
    auto expectError = [&](const std::string& needle) {
        try {
            Reference ref(dir.str());
            ADD_FAILURE() << "opened";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(needle), std::string::npos) << e.what();
        }
    };
    expectError("source.bin");
    EXPECT_FALSE(std::filesystem::exists(dir.file("source.bin")));
    {
        std::ofstream f(dir.file("source.bin"));
        f << "this is not a database, just some text that is long enough to be a header....";
    }
    expectError("source.bin");
    std::filesystem::remove(dir.file("source.bin"));
    {
        Database db(dir.file("source.bin"), Database::Mode::CreateNew);
        db.Exec("create table x (id int)");
    }
    expectError("source.bin");
}

TEST(ReferenceOpen, NameColumnIsDetected) {
    orv::test::TempDir dir;
    {
        Database db(dir.file("source.bin"), Database::Mode::CreateNew);
        db.Exec(
            "create table b (id integer, name text collate RU, synonim text, g int, status int)");
        db.Exec("insert into b values (1, 'Бета', '', 0, 0), (2, 'альфа', '', 0, 0)");
    }
    Reference ref(dir.str());
    EXPECT_EQ(ref.NameColumn(), "name");
    ref.qMain.Open();
    EXPECT_EQ(ref.qMain.AsText("name"), "альфа");
}
