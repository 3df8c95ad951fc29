// The list's reading, the server address, the client identifier and the proxy settings.
#include <gtest/gtest.h>

#include <cstdlib>

#include "db/database.h"
#include "net/packet_list.h"
#include "net/proxy.h"
#include "net/server_address.h"
#include "support/fixture_reference.h"

namespace orv {
namespace {

TEST(PacketListTest, KeepsOnlyWellFormedLines) {
    struct Case {
        const char* answer;
        std::vector<std::pair<int, std::string>> items;
    };
    const Case cases[] = {
        {"12 3456", {{12, "3456"}}},
        {"12", {}},
        {"x12 5", {}},
        {"$c 5", {}},
        {"12  3456", {}},
        {"+12 3456", {}},
        {"12 3456 7", {}},
        {"12 abc", {}},
        {"", {}},
        {" \r\n\t \n", {}},
        {"\r\n 1 10\r2 20\n3 30\r\n\r\n4 40 \n", {{1, "10"}, {2, "20"}, {3, "30"}, {4, "40"}}},
        {"0 10\n-3 10\n5 -1\n6 0", {{6, "0"}}},
        {"<html><body>Not here</body></html>", {}},
        {"99999999999 5\n7 99999999999", {}},
    };
    for (const auto& c : cases) {
        auto list = ParsePacketList(c.answer);
        std::vector<std::pair<int, std::string>> got;
        for (const auto& p : list)
            got.emplace_back(p.number, p.sizeText);
        EXPECT_EQ(got, c.items) << c.answer;
    }
}

TEST(PacketListTest, InstalledPacketsAreNotMarked) {
    auto list = ParsePacketList("1 10\n2 20\n3 30", {1, 3});
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(list[0].installed);
    EXPECT_FALSE(list[0].marked);
    EXPECT_FALSE(list[1].installed);
    EXPECT_TRUE(list[1].marked);
    EXPECT_EQ(list[1].size, 20);
    EXPECT_FALSE(list[2].marked);
}

TEST(PacketListTest, NewestPacketIsTheLastLinesNumber) {
    EXPECT_EQ(NewestPacketNumber("1 10\r\n2 20\r\n7 30\r\n"), 7);
    EXPECT_EQ(NewestPacketNumber("  5 1  "), 5);
    EXPECT_EQ(NewestPacketNumber(""), 0);
    EXPECT_EQ(NewestPacketNumber("1 10\n7"), 0);  // no space on the last line
    EXPECT_EQ(NewestPacketNumber("1 10\nabc 4"), 0);
    EXPECT_EQ(NewestPacketNumber("1 10\nx4 4"), 0);
}

TEST(ServerAddressTest, EnvironmentOverridesTheBuiltInAddress) {
    struct Case {
        const char* environment;
        const char* built;
        const char* chosen;
    };
    const Case cases[] = {
        {nullptr, "", ""},  // nobody named a server
        {"  ", " ", ""},
        {nullptr, "https://vendor.example/upd", "https://vendor.example/upd/"},
        {"", "vendor.example", "http://vendor.example/"},
        {"https://mirror.example/upd", "https://vendor.example/", "https://mirror.example/upd/"},
        {"127.0.0.1:8080", "", "http://127.0.0.1:8080/"},
        {"  ", "https://vendor.example/", "https://vendor.example/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseServerAddress(c.environment, c.built), c.chosen)
            << (c.environment ? c.environment : "(unset)") << " / " << c.built;
    setenv("ORVANTA_UPDATE_SERVER", "127.0.0.1:8080", 1);
    EXPECT_EQ(UpdateServerAddress(), "http://127.0.0.1:8080/");
    unsetenv("ORVANTA_UPDATE_SERVER");
    EXPECT_EQ(ListRequestPath("abc"), "orvanta/updatesquery.php?client=abc&mode=0");
    EXPECT_EQ(PacketRequestPath("abc", 17), "orvanta/updatesquery.php?client=abc&mode=17");
}

TEST(ClientIdentifierTest, StablePerInstallationAndDistinctBetweenThem) {
    test::FixtureReference a, b;
    std::string first;
    {
        Database db(a.path());
        first = ClientIdentifier(db);
    }
    Database dbA(a.path());
    EXPECT_EQ(ClientIdentifier(dbA), first);
    EXPECT_EQ(first.size(), 32u);
    EXPECT_EQ(first.find_first_not_of("0123456789abcdef"), std::string::npos);
    Database dbB(b.path());
    EXPECT_NE(ClientIdentifier(dbB), first);
}

TEST(ProxySettingsTest, ReadsKeysWithTheStoresDefaults) {
    test::FixtureReference ref;
    Database db(ref.path());
    ProxySettings none = ReadProxySettings(db);
    EXPECT_FALSE(none.use);
    EXPECT_EQ(none.port, "80");
    db.Exec(
        "insert into settings values ('UseProxy', 'TRUE'), ('proxy', 'gate.local'), "
        "('port', '   '), ('LOGIN', 'ivan'), ('pass', 'p w')");
    ProxySettings p = ReadProxySettings(db);
    EXPECT_TRUE(p.use);
    EXPECT_EQ(p.host, "gate.local");
    EXPECT_EQ(p.port, "80");  // blank counts as missing
    EXPECT_EQ(p.login, "ivan");
    EXPECT_EQ(p.pass, "p w");
    db.Exec("update settings set value = '0' where key = 'useproxy'");
    EXPECT_FALSE(ReadProxySettings(db).use);
}

}  // namespace
}  // namespace orv
