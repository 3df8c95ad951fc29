// Messages of the database layer: Russian texts for SQLite's own errors, quoted data cut so
// that a message never grows with the data, and the log line of a failure nobody is shown.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/sqlite_errors.h"
#include "support/temp_dir.h"
#include "util/error.h"
#include "util/log.h"
#include "util/message_text.h"

using namespace orv;

namespace {

bool IsRussian(const std::string& s) {
    // Every text starts with a Cyrillic letter (two UTF-8 bytes, lead byte 0xD0 or 0xD1).
    return s.size() > 2 && (static_cast<unsigned char>(s[0]) & 0xFE) == 0xD0;
}

std::string ErrorOf(Database& db, const std::string& sql) {
    try {
        db.Exec(sql);
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

}  // namespace

TEST(DbMessages, EveryKnownSqliteErrorHasARussianTextSayingWhatToDo) {
    struct Case {
        int code;
        const char* english;
        const char* mustContain;
    };
    const Case cases[] = {
        {SQLITE_BUSY, "database is locked", "занята"},
        {SQLITE_LOCKED, "database table is locked", "занята"},
        {SQLITE_NOTADB, "file is not a database", "не является базой данных"},
        {SQLITE_READONLY, "attempt to write a readonly database", "только для чтения"},
        {SQLITE_READONLY_DBMOVED, "attempt to write a readonly database", "только для чтения"},
        {SQLITE_FULL, "database or disk is full", "места"},
        {SQLITE_CORRUPT, "database disk image is malformed", "повреждена"},
        {SQLITE_IOERR_READ, "disk I/O error", "диск"},
        {SQLITE_ERROR, "Expression tree is too large (maximum depth 1000)", "слишком много слов"},
        {SQLITE_ERROR, "no such table: b", "таблицы «b»"},
        {SQLITE_ERROR, "no such column: g", "столбца «g»"},
        {SQLITE_ERROR, "something new", "код SQLite 1"},
        {SQLITE_SCHEMA, "database schema has changed", "код SQLite 17"},
    };
    for (const Case& c : cases) {
        const std::string text = SqliteErrorText(c.code, c.english);
        EXPECT_TRUE(IsRussian(text)) << text;
        EXPECT_NE(text.find(c.mustContain), std::string::npos) << c.english << " -> " << text;
        EXPECT_EQ(text.find(c.english), std::string::npos) << text;
    }
}

TEST(DbMessages, RealFailuresReachTheCallerInRussian) {
    orv::test::TempDir dir;
    {
        std::ofstream junk(dir.file("junk.bin"), std::ios::binary);
        junk << std::string(4096, 'x');
    }
    try {
        Database db(dir.file("junk.bin"));
        FAIL() << "opened a file that is not a database";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("не является базой данных"), std::string::npos)
            << e.what();
        EXPECT_EQ(std::string(e.what()).find("file is not a database"), std::string::npos);
    }

    Database db(dir.file("t.db"), Database::Mode::CreateNew);
    db.Exec("create table b (name text)");
    std::string deep = "select * from b where name = 'x'";
    for (int i = 0; i < 1200; ++i)
        deep += " and name like 'слово" + std::to_string(i) + "%'";
    const std::string tooDeep = ErrorOf(db, deep);
    EXPECT_NE(tooDeep.find("слишком много слов"), std::string::npos) << tooDeep.substr(0, 300);
    EXPECT_LT(tooDeep.size(), 600u);  // the statement is quoted cut, not whole

    const std::string missing = ErrorOf(db, "select * from nothere");
    EXPECT_NE(missing.find("нет таблицы «nothere»"), std::string::npos) << missing;
}

TEST(DbMessages, QuotedDataIsCutToAHundredCharacters) {
    EXPECT_EQ(CutForMessage("коротко"), "коротко");
    const std::string big(20 * 1024 * 1024, 'a');
    EXPECT_EQ(CutForMessage(big), std::string(100, 'a') + "…");
    std::string cyr;
    for (int i = 0; i < 150; ++i)
        cyr += "я";
    const std::string cut = CutForMessage(cyr);
    EXPECT_EQ(cut.size(), 100 * 2 + std::string("…").size());  // whole letters only
    EXPECT_EQ(CutCp1251ForMessage(std::string(300, '\xFF')).substr(0, 2), "я");
    EXPECT_EQ(CutCp1251ForMessage(std::string(300, 'b')), std::string(100, 'b') + "…");
}

TEST(DbMessages, AStatementWithMoreSqlAfterItsFirstIsRefusedNotCut) {
    orv::test::TempDir dir;
    Database db(dir.file("t.db"), Database::Mode::CreateNew);
    db.Exec("create table b (name text)");
    db.Exec("insert into b values ('a')");
    struct Case {
        const char* sql;
        bool refused;
    };
    const Case cases[] = {
        {"select count(*) from b", false},
        {"select count(*) from b;", false},
        {"select count(*) from b; -- the list", false},
        {"select count(*) from b;\n /* note */ ;  \n", false},
        {"select count(*) from b; delete from b", true},
        {"select count(*) from b; select 2", true},
        {"select count(*) from b; no such words", true},
    };
    for (const Case& c : cases) {
        try {
            Statement st = db.Prepare(c.sql);
            ASSERT_TRUE(st.Step()) << c.sql;
            EXPECT_EQ(st.ColumnInt(0), 1) << c.sql;
            EXPECT_FALSE(c.refused) << c.sql;
        } catch (const Error& e) {
            EXPECT_TRUE(c.refused) << c.sql << ": " << e.what();
            EXPECT_TRUE(IsRussian(e.what())) << e.what();
            EXPECT_NE(std::string(e.what()).find("нескольких команд"), std::string::npos);
        }
    }
    Statement rows = db.Prepare("select count(*) from b");
    ASSERT_TRUE(rows.Step());
    EXPECT_EQ(rows.ColumnInt(0), 1);  // nothing after a first statement ever ran
}

TEST(DbMessages, ASwallowedFailureLeavesOneCutLineInTheLog) {
    std::vector<std::string> lines;
    const LogSink before = SetLogSink([&lines](std::string_view area, std::string_view text) {
        lines.push_back(std::string(area) + ": " + std::string(text));
    });
    {
        orv::test::TempDir dir;
        Database db(dir.file("t.db"), Database::Mode::CreateNew);
        Transaction t(db);
        db.Exec("commit");  // the transaction's own rollback then fails
    }
    LogLine("index", std::string(5000, 'x'));
    SetLogSink(before);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("db: откат транзакции: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "index: " + std::string(kMaxLogChars, 'x') + "…");

    testing::internal::CaptureStderr();
    LogLine("db", "без приёмника");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "orvanta: db: без приёмника\n");
}
