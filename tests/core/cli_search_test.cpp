#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/fixture_reference.h"
#include "support/run_command.h"

using orv::test::FixtureReference;

namespace {

struct CliRun {
    int code = -1;
    std::string out, err;
};

CliRun Cli(const FixtureReference& fx, const std::vector<std::string>& args) {
    std::vector<std::string> all{"search", "--dir", fx.dir.str()};
    all.insert(all.end(), args.begin(), args.end());
    const auto r = orv::test::RunCommand(orv::test::CliCommandLine(all));
    return CliRun{r.code, r.out, r.err};
}

}  // namespace

TEST(CliSearch, PrintsTheListTheStatementAndTheMessages) {
    FixtureReference fx;
    fx.Add({{1, "Но-шпа", "Дротаверин, Спазмол", 0, 12},
            {2, "Дротаверин", "Но-шпа"},
            {3, "Спазмол", "", 0, 12},
            {4, "Аспирин", ""}});

    CliRun r = Cli(fx, {"--name", "но шпа"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "* Но-шпа\n");

    r = Cli(fx, {"--name", "но шпа", "--sql"});
    EXPECT_EQ(r.out,
              "select * from b where id>0 and id in (select rowid from b_words where b_words match "
              "'{pname} : \"шпа\"') and pname like '[Нн][Оо]%' and pname like '%[Шш][Пп][Аа]%' "
              "order by pname, id\n");

    r = Cli(fx, {"--synonyms-of", "3"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "  Но-шпа\n* Спазмол\n");
    EXPECT_EQ(r.err, "Готово\n");

    r = Cli(fx, {"--packet", "12"});
    EXPECT_EQ(r.out, "* Но-шпа\n  Спазмол\n");
    EXPECT_EQ(r.err, "Запрос выполнен. Найдено 2\n");

    r = Cli(fx, {"--universal", "  "});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Необходимо ввести критерии поиска!\n");

    r = Cli(fx, {"--extended", "--ename", "x'); drop table b; --"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(Cli(fx, {"--all"}).out, "* Аспирин\n  Дротаверин\n  Но-шпа\n  Спазмол\n");

    EXPECT_EQ(Cli(fx, {"--name", "a", "--all"}).code, 2);  // one operation at a time
    EXPECT_EQ(Cli(fx, {"--synonyms-of", "99"}).code, 1);
}
