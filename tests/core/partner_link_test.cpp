#include <gtest/gtest.h>

#include "db/reference.h"
#include "search/partner_link.h"
#include "support/fixture_reference.h"
#include "util/cp1251.h"

using namespace orv;

TEST(PartnerLink, ParsesRequests) {
    struct Case {
        const char* request;  // UTF-8 here, sent as windows-1251
        bool pending;
        int code;
        const char* text;
        long long window;
        long long button;
    };
    // Applied in order: the return address carries over exactly as the rows say.
    const Case cases[] = {
        {"00$$$Но-шпа", true, 0, "Но-шпа", 0, 0},
        {"01655$712$$$Аспирин кардио", true, 1, "Аспирин кардио", 655, 712},
        {"00x$713$$$Но", true, 0, "Но", 0, 713},  // unreadable window part gives 0
        {"01655$712$$$x", true, 1, "x", 655, 712},
        {"00655$$$$Но", true, 0, "$Но", 655, 712},  // address "655" has no "$": both kept
        {"query", false, 0, "$Но", 655, 712},       // idle caption: nothing happens
        {"AB$$$Но", false, 0, "Но", 0, 712},        // non-numeric code: dropped, text stored
        {"01Аспирин", true, 1, "Аспирин", 0, 712},  // no marker: the rest is the text
        {"", false, 0, "", 0, 712},
    };
    PartnerLink link;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request);
        const bool pending = link.Receive(Utf8ToCp1251(c.request));
        EXPECT_EQ(pending, c.pending);
        if (pending) {
            EXPECT_EQ(link.PendingCode(), c.code);
        }
        EXPECT_EQ(link.Text(), c.text);
        EXPECT_EQ(link.PartnerWindow(), c.window);
        EXPECT_EQ(link.PartnerButton(), c.button);
    }
}

TEST(PartnerLink, RepliesAndMailbox) {
    PartnerLink link;
    ASSERT_TRUE(link.Receive("00655$712$$$x"));
    EXPECT_TRUE(link.Linked());
    EXPECT_EQ(link.PartnerMailbox(), "orvanta-partner-655-712");
    EXPECT_EQ(PartnerLink::Reply(1, "Но-шпа"), Utf8ToCp1251("01$$$Но-шпа"));
    EXPECT_EQ(PartnerLink::Reply(0, ""), "00$$$");
}

TEST(PartnerLink, HostileRequestsNeverThrow) {
    PartnerLink link;
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 131) & 0xFF);
    EXPECT_NO_THROW(link.Receive(junk));
    std::string huge = "00$$$" + std::string(4 << 20, 'a');
    EXPECT_TRUE(link.Receive(huge));
    EXPECT_EQ(link.Text().size(), size_t{4} << 20);
}

TEST(PartnerSearch, PrefixThenFirstWordThenStay) {
    orv::test::FixtureReference fx;
    fx.Add({{1, "Аспирин", ""},
            {2, "Но-шпа", ""},
            {3, "Но-шпа форте", ""},
            {4, "Анальгин", ""},
            {5, "5-НОК", ""}});
    Reference ref(fx.dir.str());
    ref.qMain.Open();
    struct Case {
        const char* text;
        int start;
        int id;
    };
    const Case cases[] = {
        {"но-шпа ф", 4, 3},         // prefix of a name
        {"Но-шпа таблетки", 4, 2},  // only the first word matches a beginning
        {"Ибупрофен", 4, 4},        // nothing: the cursor stays
        {"5-НОК", 1, 5},            // a name that begins so: found directly
        {"5-НОКС", 1, 5},           // first word "" (digit, hyphen): the first row
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ref.qMain.Locate("id", std::int64_t{c.start});
        EXPECT_FALSE(ESearch(ref.qMain, ref.NameColumn(), c.text).notFound);
        EXPECT_EQ(ref.qMain.AsInteger("id"), c.id);
    }
    EXPECT_EQ(PartnerFirstWord("5-НОК"), "");
    EXPECT_EQ(PartnerFirstWord("Но-шпа форте"), "Но");
    ref.qMain.SetSql("select * from b where id<0");
    ref.qMain.Open();
    EXPECT_TRUE(ESearch(ref.qMain, ref.NameColumn(), "x").notFound);
}
