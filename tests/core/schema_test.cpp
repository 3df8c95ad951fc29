#include <gtest/gtest.h>

#include <algorithm>

#include "db/reference.h"
#include "db/schema.h"
#include "support/fixture_reference.h"
#include "util/error.h"

using namespace orv;
using orv::test::FixtureReference;

namespace {
bool Has(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}
}  // namespace

TEST(Schema, NewReferenceHasEveryTableAndColumn) {
    FixtureReference fx;
    Database db(fx.path());
    auto tables = db.UserTables();
    for (const char* t : {"b", "g", "i", "packets", "settings", "ndx"})
        EXPECT_TRUE(Has(tables, t)) << t;
    auto b = db.TableColumns("b");
    for (const char* c : {"id",  "pname", "synonim", "status", "n1",   "n2",  "n3",  "n4",  "n5",
                          "n6",  "n7",    "n8",      "n9",     "n10",  "n11", "n12", "n13", "n14",
                          "n15", "n16",   "g",       "ndx1",   "ndx2", "md",  "cmd"}) {
        EXPECT_TRUE(Has(b, c)) << c;
    }
    for (const char* t : {"g", "i"}) {
        auto cols = db.TableColumns(t);
        EXPECT_TRUE(Has(cols, "status") && Has(cols, "md")) << t;
    }
    Statement idx = db.Prepare(
        "select count(*) from sqlite_master where type='index' and name='id' and tbl_name='g'");
    idx.Step();
    EXPECT_EQ(idx.ColumnInt(0), 1);
    // Non-numeric status or g is refused by the table itself.
    EXPECT_THROW(db.Exec("insert into b (id, pname, status) values (1, 'x', 'abc')"), Error);
    EXPECT_THROW(db.Exec("insert into b (id, pname, g) values (1, 'x', '-z')"), Error);
    EXPECT_THROW(CreateReferenceFile(fx.path()), Error);
}

TEST(Schema, LegacyDatabaseIsUpgradedOnce) {
    FixtureReference fx(/*legacy=*/true);
    fx.Add({{1, "Аспирин", "", 0, 5}, {2, "Анальгин", "", 0, 0}});
    Database db(fx.path());
    EXPECT_FALSE(Has(db.UserTables(), "packets"));
    EXPECT_FALSE(Has(db.TableColumns("g"), "status"));
    CreateTableIfNeed(db);
    EXPECT_TRUE(Has(db.UserTables(), "packets"));
    for (const char* t : {"g", "i"}) {
        auto cols = db.TableColumns(t);
        EXPECT_TRUE(Has(cols, "status") && Has(cols, "md")) << t;
    }
    Statement st = db.Prepare("select count(*) from b where status<>0");
    st.Step();
    EXPECT_EQ(st.ColumnInt(0), 0);
    Statement p = db.Prepare("select count(*) from packets");
    p.Step();
    EXPECT_EQ(p.ColumnInt(0), 0);
    CreateTableIfNeed(db);  // current now: nothing to do, no error
}

TEST(Schema, DatabaseWithPacketsIsLeftUntouched) {
    FixtureReference fx(/*legacy=*/true);
    fx.Add({{1, "Аспирин", "", 0, 5}});
    fx.Exec("create table PACKETS (id INT NOT NULL, dt DATETIME, CONSTRAINT kk PRIMARY KEY (id))");
    Database db(fx.path());
    CreateTableIfNeed(db);
    EXPECT_FALSE(Has(db.TableColumns("g"), "status"));
    Statement st = db.Prepare("select status from b");
    st.Step();
    EXPECT_EQ(st.ColumnInt(0), 5);
}

TEST(Schema, FailingUpgradeStepRaisesAndLeavesPacketsInPlace) {
    FixtureReference fx(/*legacy=*/true);
    fx.Exec("alter table i add column status int");  // step 3 will fail
    Database db(fx.path());
    EXPECT_THROW(CreateTableIfNeed(db), Error);
    EXPECT_TRUE(Has(db.UserTables(), "packets"));
    EXPECT_FALSE(Has(db.TableColumns("g"), "status"));  // later steps skipped
    CreateTableIfNeed(db);                              // and not retried
    EXPECT_FALSE(Has(db.TableColumns("g"), "status"));
}

TEST(Schema, PacketStatisticsCountsRowsPerPacket) {
    FixtureReference fx;
    fx.Add({{1, "a", "", 0, 5}, {2, "b", "", 0, 5}, {3, "c", "", 0, 7}, {4, "d", "", 0, 0}});
    Database db(fx.path());
    auto stats = PacketStatistics(db);
    ASSERT_EQ(stats.size(), 2u);
    EXPECT_EQ(stats[0].packet, 5);
    EXPECT_EQ(stats[0].rows, 2);
    EXPECT_EQ(stats[1].packet, 7);
    EXPECT_EQ(stats[1].rows, 1);
}
