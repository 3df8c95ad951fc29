#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/described_reference.h"
#include "support/run_command.h"
#include "util/cp1251.h"

using orv::test::DescribedReference;

namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

class CliFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        fx.AddNoShpa();
        std::filesystem::copy(ORVANTA_SOURCE_DIR "/tests/data/display/_pict",
                              fx.dir.str() + "_pict");
    }
    CliRun Cli(const std::vector<std::string>& args) {
        const auto r = orv::test::RunCommand(orv::test::CliCommandLine(args));
        return CliRun{r.code, r.out, r.err};
    }
    std::string Dir() { return fx.dir.str(); }

    DescribedReference fx;
};

}  // namespace

TEST_F(CliFixture, ShowWritesTheGoldenPageWithStoredSections) {
    ASSERT_EQ(Cli({"settings", "--dir", Dir(), "set", "items", orv::test::kGoldenSectionList}).code,
              0);
    CliRun r = Cli({"show", "--dir", Dir(), "--id", "42", "--out", "-"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::string expected = ReadFile(ORVANTA_SOURCE_DIR "/tests/data/display/golden_page.nvg");
    const std::string rel = "src=\"_pict/";
    expected.replace(expected.find(rel), rel.size(), "src=\"" + Dir() + "_pict/");
    EXPECT_EQ(r.out, expected);

    // By name in other capitals, highlighted, to the default file.
    r = Cli({"show", "--dir", Dir(), "--name", "НО-ШПА", "--highlight", "шпа  td"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, Dir() + "source.nvg\n");
    const std::string page = orv::Cp1251ToUtf8(ReadFile(Dir() + "source.nvg"));
    EXPECT_NE(
        page.find("\r\nНо-<font style=\"background-color:#FFFF33;\">шпа</font></td></tr>\r\n"),
        std::string::npos);
    EXPECT_EQ(page.find("<font style=\"background-color:#FFFF33;\">td"), std::string::npos);
}

TEST_F(CliFixture, ShowReportsBadRequests) {
    const struct {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{"--id", "999"}, 1, "Препарат с кодом 999 не найден"},
        {{"--name", "Аспирин"}, 1, "Препарат «Аспирин» не найден"},
        {{"--id", "42 or 1=1"}, 2, "целым числом"},
        {{}, 2, "--id"},
        {{"--id", "42", "--name", "Но-шпа"}, 2, "--id"},
        {{"--id", "42", "--out", "/nonexistent-orvanta/page.nvg"},
         1,
         "/nonexistent-orvanta/page.nvg"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"show", "--dir", Dir()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CliRun r = Cli(args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST_F(CliFixture, SettingsSetGetListThroughTheStore) {
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "set", "WPN1", "300"}).code, 0);
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "get", "wpn1"}).out, "300\n");
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "set", "useproxy", "1"}).code, 0);
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "set", "proxy", "10.0.0.5"}).code, 0);
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "set", "items", "nСостав\\nyСинонимы"}).code, 0);

    CliRun bad = Cli({"settings", "--dir", Dir(), "set", "wpn1", "широкая"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("wpn1"), std::string::npos) << bad.err;
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "set", "fGB", "Arial|10"}).code, 1);
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "set", "checkup", "да"}).code, 1);
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "get", "nosuch"}).code, 1);
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "frobnicate"}).code, 2);

    // Stored in the program's own forms, under the names the program saves.
    CliRun q = Cli({"query", "--dir", Dir(), "select key, value from settings order by key"});
    EXPECT_NE(q.out.find("wPn1\t300\n"), std::string::npos) << q.out;
    EXPECT_NE(q.out.find("useproxy\tTrue\n"), std::string::npos) << q.out;

    CliRun list = Cli({"settings", "--dir", Dir(), "list"});
    ASSERT_EQ(list.code, 0) << list.err;
    EXPECT_EQ(list.out.rfind("items\tnСостав\\nyСинонимы\\n\n", 0), 0u) << list.out;
    EXPECT_NE(list.out.find("\nwpn1\t300\n"), std::string::npos);
    EXPECT_NE(list.out.find("\nproxy\t10.0.0.5\n"), std::string::npos);
    EXPECT_NE(list.out.find("\nport\t80\t(по умолчанию)\n"), std::string::npos);
    EXPECT_NE(list.out.find("\npass\t\t(по умолчанию)\n"), std::string::npos) << list.out;
    // The proxy password is masked in the list, whole for get.
    ASSERT_EQ(Cli({"settings", "--dir", Dir(), "set", "pass", "s3cr&t"}).code, 0);
    list = Cli({"settings", "--dir", Dir(), "list"});
    EXPECT_NE(list.out.find("\npass\t********\n"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find("s3cr&t"), std::string::npos);
    EXPECT_EQ(Cli({"settings", "--dir", Dir(), "get", "pass"}).out, "s3cr&t\n");

    // The page follows the stored list: only the synonyms.
    CliRun page = Cli({"show", "--dir", Dir(), "--id", "42", "--out", "-"});
    const std::string text = orv::Cp1251ToUtf8(page.out);
    EXPECT_NE(text.find("class=\"Item\">Синонимы<"), std::string::npos);
    EXPECT_EQ(text.find("class=\"Item\">Состав<"), std::string::npos);
}
