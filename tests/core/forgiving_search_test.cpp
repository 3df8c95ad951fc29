#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "db/reference.h"
#include "search/forgiving_search.h"
#include "search/name_index.h"
#include "search/name_matcher.h"
#include "search/partner_link.h"
#include "search/quick_filter.h"
#include "search/statements.h"
#include "support/fixture_reference.h"

using namespace orv;
using orv::test::FixtureReference;

namespace {

class ForgivingSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fx.Add({{1, "Аспирин", "Ацетилсалициловая кислота"},
                {2, "Но-шпа", "Дротаверин, Спазмол"},
                {3, "Нурофен", "Ибупрофен"},
                {4, "Нурофен форте", ""},
                {5, "Coldrex", ""},
                {6, "Валидол", ""},
                {7, "5-НОК", ""}});
        ref.emplace(fx.dir.str());
        ref->qMain.Open();
        LoadNameMatcher(*ref, names);
    }
    std::string Current() { return ref->qMain.AsText("pname"); }
    std::vector<std::string> List() {
        std::vector<std::string> out;
        for (ref->qMain.First(); !ref->qMain.Eof(); ref->qMain.Next())
            out.push_back(ref->qMain.AsText("pname"));
        return out;
    }

    FixtureReference fx;
    std::optional<Reference> ref;
    NameMatcher names;
    NameSource source = [this] { return &names; };
};

TEST_F(ForgivingSearchTest, ReadingsOfATypedText) {
    using V = std::vector<std::string>;
    EXPECT_EQ(TextReadings(names, "yj-igf"), (V{"но-шпа", "ый-игф"}));
    EXPECT_EQ(TextReadings(names, "сщдвкуч"), V{"coldrex"});
    EXPECT_EQ(TextReadings(names, "Nurofen"), (V{"тгкщаут", "нурофен"}));
    EXPECT_TRUE(TextReadings(names, "  ").empty());
    EXPECT_TRUE(TextReadings(names, std::string(5000, 'y')).empty());
}

TEST_F(ForgivingSearchTest, TypeAheadUsesAReadingOnlyWhereTheTextLocatesNothing) {
    struct Case {
        const char* text;
        const char* current;
        std::optional<std::string> status;
    };
    const Case cases[] = {
        {"yj-igf", "Но-шпа", "Показано для «но-шпа»"},
        {"nurofen", "Нурофен", "Показано для «нурофен»"},
        {"сщдв", "Coldrex", "Показано для «cold»"},
        {"нуро", "Нурофен", std::nullopt},  // exact: the status stays the page's
        {"Coldrex", "Coldrex", std::nullopt},
        {"нурафен", "Валидол", "Препарат не найден."},  // a typo is no reading: the cursor stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ref->qMain.Locate("id", std::int64_t{6});
        const CommandResult r = LocateForgiving(ref->qMain, "pname", source, c.text);
        EXPECT_EQ(Current(), c.current);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.redraw, std::string(c.current) != "Валидол");
        EXPECT_FALSE(r.filterText);
        EXPECT_TRUE(r.suggestions.empty());
    }
}

TEST_F(ForgivingSearchTest, EnterRunsAReadingThatFindsRows) {
    CommandResult r = FilterEnterForgiving(*ref, source, "yj-igf", false, ref->qMain);
    EXPECT_EQ(List(), std::vector<std::string>{"Но-шпа"});
    EXPECT_EQ(ref->qMain.Sql(), NameFilterSql("но-шпа", "pname", ref->SearchIndexed()));
    EXPECT_EQ(r.filterText, "но-шпа");
    EXPECT_EQ(r.status, "Показано для «но-шпа»");
    EXPECT_TRUE(r.suggestions.empty());
    EXPECT_TRUE(r.redraw);

    // The universal search: a synonym typed in the other layout.
    r = FilterEnterForgiving(*ref, source, "cgfpvjk", true, ref->qMain);
    EXPECT_EQ(List(), std::vector<std::string>{"Но-шпа"});
    EXPECT_EQ(r.status, "Показано для «спазмол». Найдено 1");
    EXPECT_EQ(r.filterText, "спазмол");
    EXPECT_EQ(r.highlightSearchWords, true);
}

TEST_F(ForgivingSearchTest, EnterOffersNamesWhenNoReadingFindsRows) {
    for (const bool universal : {false, true}) {
        SCOPED_TRACE(universal);
        const CommandResult r =
            FilterEnterForgiving(*ref, source, "нурафен", universal, ref->qMain);
        EXPECT_TRUE(List().empty());
        EXPECT_EQ(ref->qMain.Sql(),
                  universal ? *UniversalSearchSql("нурафен", "pname", ref->SearchIndexed())
                            : NameFilterSql("нурафен", "pname", ref->SearchIndexed()));
        ASSERT_EQ(r.suggestions.size(), 2u);
        EXPECT_EQ(r.suggestions[0].id, 3);
        EXPECT_EQ(r.suggestions[0].name, "Нурофен");
        EXPECT_EQ(r.suggestions[1].name, "Нурофен форте");
        EXPECT_FALSE(r.filterText);
        EXPECT_EQ(r.status, universal ? std::optional<std::string>("Запрос выполнен. Найдено 0")
                                      : std::nullopt);
    }
    // Nothing near: the exact command's empty list and nothing more.
    const CommandResult r = FilterEnterForgiving(*ref, source, "зззззззз", false, ref->qMain);
    EXPECT_TRUE(List().empty());
    EXPECT_TRUE(r.suggestions.empty());
}

TEST_F(ForgivingSearchTest, EnterThatFindsRowsIsTheExactCommand) {
    const char* texts[] = {"нуро", "Нурофен форте", "5-НОК", " форте"};
    for (const bool universal : {false, true}) {
        for (const char* text : texts) {
            SCOPED_TRACE(text);
            const CommandResult exact = FilterEnter(*ref, text, universal, ref->qMain);
            const std::string sql = ref->qMain.Sql();
            const std::vector<std::string> list = List();
            const CommandResult r = FilterEnterForgiving(*ref, source, text, universal, ref->qMain);
            EXPECT_EQ(ref->qMain.Sql(), sql);
            EXPECT_EQ(List(), list);
            EXPECT_EQ(r.status, exact.status);
            EXPECT_EQ(r.highlightSearchWords, exact.highlightSearchWords);
            EXPECT_TRUE(r.suggestions.empty());
            EXPECT_FALSE(r.filterText);
        }
    }
    // An empty box still resets the selection; the universal search's "no words" box stays.
    FilterEnterForgiving(*ref, source, "нурафен", false, ref->qMain);
    FilterEnterForgiving(*ref, source, "", false, ref->qMain);
    EXPECT_EQ(List().size(), 7u);
    const CommandResult r = FilterEnterForgiving(*ref, source, " ", true, ref->qMain);
    ASSERT_TRUE(r.message);
    EXPECT_TRUE(r.suggestions.empty());
}

TEST_F(ForgivingSearchTest, TakingASuggestionShowsTheWholeListOnIt) {
    FilterEnterForgiving(*ref, source, "нурафен", false, ref->qMain);
    CommandResult r = TakeSuggestion(*ref, {4, "Нурофен форте"});
    EXPECT_EQ(List().size(), 7u);
    ref->qMain.Locate("id", std::int64_t{4});
    EXPECT_EQ(ref->qMain.Sql(), ResetSelectionSql("pname"));
    EXPECT_TRUE(r.redraw);
    EXPECT_TRUE(r.showListPage);
    EXPECT_EQ(r.filterText, "Нурофен форте");
    EXPECT_EQ(r.highlightSearchWords, false);
    // Deleted meanwhile: nothing moves.
    r = TakeSuggestion(*ref, {99, "Пропавший"});
    EXPECT_EQ(r.status, "Препарат не найден.");
    EXPECT_FALSE(r.filterText);
}

TEST_F(ForgivingSearchTest, PartnerLookupFallsBackToTheNameMeant) {
    struct Case {
        const char* text;
        int id;
        const char* meant;  // "" = the exact lookup decided
    };
    const Case cases[] = {
        {"нурафен", 3, "Нурофен"},
        {"yehjaty ajhnt", 4, "Нурофен форте"},  // the other layout
        {"Ибупрофенн", 3, "Нурофен"},           // by its synonym
        {"Но-шпа таблетки", 2, ""},             // the first word begins a name
        {"Нурофен", 3, ""},
        {"Ксилометазолин", 6, ""},  // nothing near: the cursor stays
        {"5-НОКС", 7, "5-НОК"},     // one letter too many, and no first word
        {"7-ЗЗЗ", 0, ""},           // an empty first word still goes to the first row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ref->qMain.Locate("id", std::int64_t{6});
        const PartnerSearchResult r = ESearch(ref->qMain, "pname", c.text, &names);
        const std::int64_t at = ref->qMain.AsInteger("id");
        if (c.id == 0)
            ref->qMain.First();
        EXPECT_EQ(at, c.id == 0 ? ref->qMain.AsInteger("id") : c.id);
        EXPECT_EQ(r.meant ? r.meant->name : "", c.meant);
        EXPECT_FALSE(r.notFound);
    }
}

}  // namespace
