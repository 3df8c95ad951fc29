#include <gtest/gtest.h>

#include "db/database.h"
#include "settings/bookmarks.h"
#include "support/fixture_reference.h"

using namespace orv;
using orv::test::FixtureReference;

namespace {
std::vector<std::int64_t> Ids(const History& h) {
    std::vector<std::int64_t> out;
    for (const HistoryEntry& e : h.Entries())
        out.push_back(e.id);
    return out;
}
}  // namespace

TEST(History, OrderLimitAndNoConsecutiveDuplicates) {
    History h;
    EXPECT_TRUE(h.Add(1, 100));
    EXPECT_TRUE(h.Add(2, 101));
    EXPECT_TRUE(h.Add(2, 102));  // the same again: only its time
    EXPECT_FALSE(h.Add(2, 102));
    EXPECT_TRUE(h.Add(1, 103));  // not consecutive: a new entry
    EXPECT_EQ(Ids(h), (std::vector<std::int64_t>{1, 2, 1}));
    EXPECT_EQ(h.Entries()[1].when, 102);

    for (int id = 10; id < 10 + 150; ++id)
        h.Add(id, 200 + id);
    ASSERT_EQ(h.Entries().size(), History::kLimit);
    EXPECT_EQ(h.Entries().front().id, 159);
    EXPECT_EQ(h.Entries().back().id, 60);
}

TEST(History, BackAndForwardLikeABrowser) {
    History h;
    for (int id : {1, 2, 3})
        h.Add(id, id);
    EXPECT_EQ(h.Forward(), std::nullopt);
    EXPECT_EQ(h.Back(), 2);
    EXPECT_FALSE(h.Add(2, 50));  // the page the step opened is no new visit
    EXPECT_EQ(h.Back(), 1);
    EXPECT_EQ(h.Back(), std::nullopt);
    EXPECT_EQ(h.Forward(), 2);
    EXPECT_EQ(h.Forward(), 3);
    EXPECT_EQ(h.Forward(), std::nullopt);
    h.Back();
    EXPECT_TRUE(h.Add(7, 60));  // a new page after a step back starts from the top again
    EXPECT_EQ(Ids(h), (std::vector<std::int64_t>{7, 3, 2, 1}));
    EXPECT_EQ(h.Back(), 3);
}

TEST(History, EncodingAndCorruptValues) {
    History h;
    h.Add(5, 1000);
    h.Add(9, 2000);
    EXPECT_EQ(h.Encode(), "9:2000,5:1000");
    ASSERT_TRUE(History::Decode(h.Encode()));
    EXPECT_EQ(History::Decode(h.Encode())->Entries(), h.Entries());
    for (const char* bad : {"9:2000,x", "9", "9:", ":5", "-3:5", "9:2000,,5:1", "1:2 ", "абв"})
        EXPECT_FALSE(History::Decode(bad)) << bad;
    std::string tooLong;
    for (int i = 1; i <= 101; ++i)
        tooLong += (i > 1 ? "," : "") + std::to_string(i) + ":1";
    EXPECT_FALSE(History::Decode(tooLong));
}

TEST(Favourites, ToggleMoveRemoveAndEncoding) {
    Favourites f;
    EXPECT_TRUE(f.Toggle(3));
    EXPECT_TRUE(f.Toggle(1));
    EXPECT_TRUE(f.Toggle(2));
    EXPECT_FALSE(f.Toggle(1));  // removed
    EXPECT_TRUE(f.Toggle(1));   // back, at the end
    EXPECT_EQ(f.Encode(), "3,2,1");
    EXPECT_TRUE(f.Move(2, -1));
    EXPECT_FALSE(f.Move(0, -1));
    EXPECT_FALSE(f.Move(2, 1));
    EXPECT_EQ(f.Encode(), "3,1,2");
    f.RemoveAt(0);
    EXPECT_EQ(f.Encode(), "1,2");
    EXPECT_EQ(Favourites::Decode("4,4,7")->Encode(), "4,7");
    for (const char* bad : {"4,,7", "4;7", "0", "x"})
        EXPECT_FALSE(Favourites::Decode(bad)) << bad;
}

TEST(Bookmarks, PersistInTheSettingsAndDropDeletedRows) {
    FixtureReference fx;
    fx.Add({{1, "Аспирин", ""}, {2, "Нурофен", ""}, {3, "Но-шпа", ""}});
    {
        Database db(fx.path());
        SettingsStore store(db);
        History h = LoadHistory(store);
        EXPECT_TRUE(h.Entries().empty());
        for (int id : {1, 2, 3, 2})
            h.Add(id, 100 + id);
        SaveHistory(store, h);
        Favourites f;
        f.Toggle(3);
        f.Toggle(1);
        SaveFavourites(store, f);
    }
    fx.Exec("delete from b where id = 3");
    Database db(fx.path());
    SettingsStore store(db);
    History h = LoadHistory(store);
    EXPECT_EQ(Ids(h), (std::vector<std::int64_t>{2, 3, 2, 1}));
    EXPECT_TRUE(h.DropMissing(db));
    EXPECT_EQ(Ids(h), (std::vector<std::int64_t>{2, 1}));  // 2, 2 became one
    Favourites f = LoadFavourites(store);
    EXPECT_EQ(f.Encode(), "3,1");
    EXPECT_TRUE(f.DropMissing(db));
    EXPECT_EQ(f.Encode(), "1");
    EXPECT_EQ(PreparationNames(db, {2, 3, 1}, "pname"),
              (std::vector<std::string>{"Нурофен", "", "Аспирин"}));

    // A damaged value reads as the empty list.
    store.SetKey(kHistoryKey, "2:1,oops");
    store.SetKey(kFavouritesKey, "1,,");
    EXPECT_TRUE(LoadHistory(store).Entries().empty());
    EXPECT_TRUE(LoadFavourites(store).Ids().empty());
}
