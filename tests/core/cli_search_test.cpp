#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/fixture_reference.h"

using orv::test::FixtureReference;

namespace {

struct CliRun {
    int code = -1;
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CliRun Cli(const FixtureReference& fx, const std::vector<std::string>& args) {
    std::string cmd =
        std::string(ORVANTA_BIN_DIR) + "/orvanta-cli search --dir " + Quote(fx.dir.str());
    for (const auto& a : args)
        cmd += " " + Quote(a);
    const std::string errFile = fx.dir.file("stderr.txt");
    cmd += " 2>" + Quote(errFile);
    CliRun r;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile);
    std::stringstream ss;
    ss << in.rdbuf();
    r.err = ss.str();
    return r;
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
    EXPECT_EQ(
        r.out,
        "select * from b where id>0  and pname like '[Нн][Оо]%' and pname like '%[Шш][Пп][Аа]%' "
        "order by pname\n");

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
