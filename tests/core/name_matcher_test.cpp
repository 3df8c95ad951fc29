#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/reference.h"
#include "search/keyboard_layout.h"
#include "search/name_index.h"
#include "search/name_matcher.h"
#include "search/transliteration.h"
#include "support/fixture_reference.h"
#include "support/run_command.h"

using orv::MatchReason;
using orv::NameCandidate;
using orv::NameMatcher;
using orv::test::FixtureReference;

namespace {

// A small reference in the list's order, with a Latin name and synonyms that are no name.
const std::vector<orv::test::FixturePreparation> kRows = {
    {1, "Амоксициллин", ""},
    {2, "Ацикловир", ""},
    {3, "Кларитин", ""},
    {4, "Ксилометазолин", ""},
    {5, "Мезим форте", ""},
    {6, "Но-шпа", "Дротаверина гидрохлорид, Спазмол"},
    {7, "Нурофен", "Ибупрофен"},
    {8, "Нурофен форте", ""},
    {9, "Супрастин", ""},
    {10, "Флемоксин Солютаб", ""},
    {11, "Цитрамон", ""},
    {12, "Эналаприл", ""},
    {13, "Энап", ""},
    {14, "Ёдомарин", ""},
    {15, "Coldrex", ""},
};

class NameMatcherTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fx_ = new FixtureReference();
        fx_->Add(kRows);
        orv::Reference ref(fx_->dir.str());
        matcher_ = new NameMatcher();
        orv::LoadNameMatcher(ref, *matcher_);
    }
    static void TearDownTestSuite() {
        delete matcher_;
        delete fx_;
    }
    static std::string First(const std::string& text) {
        const auto found = matcher_->Suggest(text, 5);
        return found.empty() ? "-" : matcher_->Name(found[0].preparation);
    }
    static FixtureReference* fx_;
    static NameMatcher* matcher_;
};
FixtureReference* NameMatcherTest::fx_ = nullptr;
NameMatcher* NameMatcherTest::matcher_ = nullptr;

TEST(KeyboardLayout, RereadsEveryKeyBothWays) {
    EXPECT_EQ(orv::LatinKeysToRussian("yj-igf"), "но-шпа");
    EXPECT_EQ(orv::LatinKeysToRussian("AkTvjrcby Cjk.nf,"), "ФлЕмоксин Солютаб");
    EXPECT_EQ(orv::LatinKeysToRussian("`;'[]<>:\"{}~"), "ёжэхъБЮЖЭХЪЁ");
    EXPECT_EQ(orv::LatinKeysToRussian("5 vu/"), "5 мг.");
    EXPECT_EQ(orv::RussianKeysToLatin("Сщдвкуч"), "Coldrex");
    EXPECT_EQ(orv::RussianKeysToLatin("бюжэхъё."), ",.;'[]`/");
    EXPECT_EQ(orv::RussianKeysToLatin(orv::LatinKeysToRussian("qwerty[];',./`")), "qwerty[];',./`");
}

TEST(Transliteration, CommonReadingKeepsCase) {
    EXPECT_EQ(orv::TransliterateLatin("no-shpa"), "но-шпа");
    EXPECT_EQ(orv::TransliterateLatin("Tsitramon"), "Цитрамон");
    EXPECT_EQ(orv::TransliterateLatin("shchuka yozh"), "щука еж");
    EXPECT_EQ(orv::TransliterateLatin("Xylo 5"), "Ксыло 5");
}

struct Case {
    const char* kind;
    const char* typed;
    const char* name;  // expected first candidate
    MatchReason reason;
    double distance;
};

TEST_F(NameMatcherTest, EachKindOfMistakeFindsTheName) {
    const Case cases[] = {
        {"layout", "yj-igf", "Но-шпа", MatchReason::Layout, 0},
        {"layout, punctuation keys", "aktvjrcby cjk.nf,", "Флемоксин Солютаб", MatchReason::Layout,
         0},
        {"layout, start of a name", "'yfkf", "Эналаприл", MatchReason::Layout, 0},
        {"layout, Russian keys for Latin", "сщдвкуч", "Coldrex", MatchReason::Layout, 0},
        {"translit", "nurofen", "Нурофен", MatchReason::Translit, 0},
        {"translit, hyphen", "no-shpa", "Но-шпа", MatchReason::Translit, 0},
        {"translit ts", "tsitramon", "Цитрамон", MatchReason::Translit, 0},
        {"translit c", "citramon", "Цитрамон", MatchReason::Translit, 0},
        {"translit x and y", "xylometazolin", "Ксилометазолин", MatchReason::Translit, 0},
        {"translit k and c", "acyklovir", "Ацикловир", MatchReason::Translit, 0},
        {"translit e", "enap", "Энап", MatchReason::Translit, 0},
        {"translit yo", "yodomarin", "Ёдомарин", MatchReason::Translit, 0},
        {"translit with a typo", "suprastine", "Супрастин", MatchReason::Translit, 1},
        {"neighbouring key", "нурлфен", "Нурофен", MatchReason::Typo, 0.7},
        {"missing letter", "нуофен", "Нурофен", MatchReason::Typo, 1},
        {"extra letter", "нурлофен", "Нурофен", MatchReason::Typo, 1},
        {"swapped pair", "нуорфен", "Нурофен", MatchReason::Typo, 0.7},
        {"doubled letter", "нурроф", "Нурофен", MatchReason::Typo, 0.5},
        {"undoubled letter", "амоксицилин", "Амоксициллин", MatchReason::Typo, 0.5},
        {"wrong first letter", "мурофен", "Нурофен", MatchReason::Typo, 1},
        {"е for э", "еналаприл", "Эналаприл", MatchReason::Typo, 0.5},
        {"и for й and а for о", "супрастйн", "Супрастин", MatchReason::Typo, 0.5},
        {"a typo at the start of a long name", "нкрофе", "Нурофен", MatchReason::Typo, 0.7},
        {"two typos", "флимаксин", "Флемоксин Солютаб", MatchReason::Typo, 1.5},
        {"space for hyphen", "но шпа", "Но-шпа", MatchReason::Typo, 0.3},
        {"synonym", "дротаверина гидрахлорид", "Но-шпа", MatchReason::Typo, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + ": " + c.typed);
        const std::vector<NameCandidate> found = matcher_->Suggest(c.typed, 5);
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(matcher_->Name(found[0].preparation), c.name);
        EXPECT_EQ(found[0].reason, c.reason);
        EXPECT_DOUBLE_EQ(found[0].Distance(), c.distance);
    }
}

TEST_F(NameMatcherTest, ReadingIsTheTextAsRead) {
    auto found = matcher_->Suggest("yj-igf", 5);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].reading, "но-шпа");
    found = matcher_->Suggest("nurofe", 5);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].reading, "нурофе");
    found = matcher_->Suggest("нуофен", 5);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].reading, "");
}

TEST_F(NameMatcherTest, WhatTheSearchesFindGetsNoSuggestion) {
    for (const char* exact : {"Нурофен", "нуро", "НУРОФЕН ФОРТЕ", "но-шпа", "  мезим   форте ",
                              "ёдо", "едомарин", "спазмол", "Coldrex", "c"}) {
        SCOPED_TRACE(exact);
        EXPECT_TRUE(matcher_->StartsSomeName(exact));
        EXPECT_TRUE(matcher_->Suggest(exact, 5).empty());
    }
}

TEST_F(NameMatcherTest, TooFarOrTooShortGivesNothing) {
    for (const char* far : {"нурфн", "парацетамол", "ну", "ъ", "qqqqqqqq", "12345", "%_[]'"}) {
        SCOPED_TRACE(far);
        EXPECT_TRUE(matcher_->Suggest(far, 5).empty());
    }
}

TEST_F(NameMatcherTest, OneCandidatePerPreparationTiesInListOrder) {
    // Both Нурофен (name and, for Ибупрофен's sake, nothing else) and Нурофен форте start
    // with "нурафен" at the same cost: the list's order decides.
    const auto found = matcher_->Suggest("нурафен", 5);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(matcher_->Name(found[0].preparation), "Нурофен");
    EXPECT_EQ(matcher_->Name(found[1].preparation), "Нурофен форте");
    // Но-шпа is found by two of its synonyms: it is listed once.
    const auto once = matcher_->Suggest("спасмол", 5);
    ASSERT_EQ(once.size(), 1u);
    EXPECT_TRUE(once[0].bySynonym);
    EXPECT_EQ(matcher_->Suggest("нурафен", 1).size(), 1u);
}

TEST_F(NameMatcherTest, HostileAndHugeTextsGiveBoundedAnswers) {
    std::string huge;
    for (int i = 0; i < 20000; ++i)
        huge += (i % 3 == 0) ? "нур" : (i % 3 == 1 ? "o'[%" : "\xff\xfe");
    const std::string tests[] = {huge, std::string(100000, 'a'), std::string(5000, ' ') + "нуофен",
                                 "нуофен" + std::string(5000, '-'), std::string("\0\x01\x02", 3)};
    for (const std::string& t : tests) {
        EXPECT_LE(matcher_->Suggest(t, 5).size(), 5u);
    }
    EXPECT_EQ(First(std::string(5000, ' ') + "нуофен"), "Нурофен");
}

TEST(NameIndex, FollowsChangesOfTheTable) {
    FixtureReference fx;
    fx.Add({{1, "Нурофен", ""}});
    orv::Reference ref(fx.dir.str());
    orv::NameIndex index;
    EXPECT_TRUE(index.Matcher(ref).Suggest("парацетомол").empty());
    fx.Add({{2, "Парацетамол", ""}});  // another connection, as a second program would
    auto found = index.Matcher(ref).Suggest("парацетомол");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(index.Matcher(ref).Id(found[0].preparation), 2);
    ref.Db().Exec("update b set pname = 'Панадол' where id = 2");  // this connection
    EXPECT_TRUE(index.Matcher(ref).Suggest("парацетомол").empty());
    EXPECT_EQ(index.Matcher(ref).Name(index.Matcher(ref).Suggest("панодол")[0].preparation),
              "Панадол");
}

TEST(NameIndex, AnOwnerThatAnnouncesItsWritesIsNotRebuiltByOtherWrites) {
    FixtureReference fx;
    fx.Add({{1, "Нурофен", ""}});
    orv::Reference ref(fx.dir.str());
    orv::NameIndex index;
    index.WatchOtherConnectionsOnly(true);
    EXPECT_EQ(index.Matcher(ref).Size(), 1);
    ref.Db().Exec("update b set pname = 'Панадол' where id = 1");
    EXPECT_EQ(index.Matcher(ref).Name(0), "Нурофен");  // not announced yet
    index.Invalidate();
    EXPECT_EQ(index.Matcher(ref).Name(0), "Панадол");
    fx.Add({{2, "Парацетамол", ""}});  // another program: always seen
    EXPECT_EQ(index.Matcher(ref).Size(), 2);
}

TEST(CliSuggest, PrintsCandidatesAndExitsOneWhenNone) {
    FixtureReference fx;
    fx.Add(kRows);
    const auto run = [&](const std::vector<std::string>& args) {
        std::vector<std::string> all{"suggest", "--dir", fx.dir.str()};
        all.insert(all.end(), args.begin(), args.end());
        return orv::test::RunCommand(orv::test::CliCommandLine(all));
    };
    auto r = run({"yj-igf"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Но-шпа\tlayout\t0\n");
    r = run({"нурафен", "--limit", "1"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Нурофен\ttypo\t0.5\n");
    r = run({"нурафен"});
    EXPECT_EQ(r.out, "Нурофен\ttypo\t0.5\nНурофен форте\ttypo\t0.5\n");
    r = run({"nurofen"});
    EXPECT_EQ(r.out, "Нурофен\ttranslit\t0\nНурофен форте\ttranslit\t0\n");
    r = run({"Нурофен"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    r = run({"зззззззз"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    r = run({"нурафен", "--limit", "0"});
    EXPECT_EQ(r.code, 2);
    r = run({});
    EXPECT_EQ(r.code, 2);
}

}  // namespace
