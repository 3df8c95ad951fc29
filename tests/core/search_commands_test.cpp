#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <sstream>

#include "db/reference.h"
#include "search/extended_search.h"
#include "search/index_rebuild.h"
#include "search/quick_filter.h"
#include "support/fixture_reference.h"
#include "util/error.h"
#include "util/text.h"

using namespace orv;
using orv::test::FixtureReference;

namespace {

struct Texts {
    int id;
    const char* indications;  // n5
    const char* action;       // n2
};

class SearchFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        fx.Add({{1, "Но-шпа", "Дротаверин, Спазмол"},
                {2, "Дротаверин", "Но-шпа"},
                {3, "Спазмол", ""},
                {4, "Но-шпа форте", "Дротаверин"},
                {5, "Аспирин", "Ацетилсалициловая кислота", 0, 12},
                {6, "Аспирин Кардио", "Ацетилсалициловая кислота", 0, 12},
                {7, "Парацетамол", "", 0, 3},
                {8, "Анальгин", ""},
                {9, "Кардиомагнил", "Аспирин Кардио"},
                {10, "Витамин C 1,5% [форте]", ""}});
        const Texts texts[] = {
            {1, "Спазмы гладкой мускулатуры", "Спазмолитическое действие"},
            {5, "Головная боль, 2 раза в день",
             "Жаропонижающее, <strong>противовоспалительное</strong>&nbsp;&amp;"},
            {7, "Головная боль, лихорадка", "Жаропонижающее и болеутоляющее"},
            {8, "Зубная боль", "Анальгетическое действие"},
        };
        Database db(fx.path());
        for (const auto& t : texts) {
            Statement st =
                db.Prepare("update b set n5 = ?, n2 = ?, ndx1 = ?, ndx2 = ? where id = ?");
            st.Bind(1, Blob{ScrambleForStorage(t.indications)});
            st.Bind(2, Blob{ScrambleForStorage(t.action)});
            st.Bind(3, IndexWords(t.indications));
            st.Bind(4, IndexWords(t.action));
            st.Bind(5, std::int64_t{t.id});
            st.Step();
        }
        ref.emplace(fx.dir.str());
        ref->qMain.Open();
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        DataSet& q = ref->qMain;
        if (!q.Active())
            return names;
        const int at = q.RecNo();
        for (q.First(); !q.Eof(); q.Next())
            names.push_back(q.AsText("pname"));
        q.SetRecNo(at);
        return names;
    }
    std::string Current() { return ref->qMain.AsText("pname"); }
    void GoTo(int id) { ASSERT_TRUE(ref->qMain.Locate("id", std::int64_t{id})); }

    FixtureReference fx;
    std::optional<Reference> ref;
};

using List = std::vector<std::string>;

}  // namespace

TEST_F(SearchFixture, NameFilterNarrowsAndLandsOnThePrefixMatch) {
    CommandResult r = FilterTableName(*ref, "но шпа");
    EXPECT_TRUE(r.listChanged);
    EXPECT_TRUE(r.redraw);
    // "но" is too short for the word index: only "шпа" narrows.
    EXPECT_EQ(ref->qMain.Sql(),
              "select * from b where id>0 and id in (select rowid from b_words where b_words "
              "match '{pname} : \"шпа\"') and pname like '[Нн][Оо]%' and pname like "
              "'%[Шш][Пп][Аа]%' order by pname, id");
    EXPECT_EQ(Names(), (List{"Но-шпа", "Но-шпа форте"}));
    EXPECT_EQ(Current(), "Но-шпа");

    // A first word is a prefix word unless a space comes before it.
    FilterTableName(*ref, "кардио");
    EXPECT_EQ(Names(), (List{"Кардиомагнил"}));
    FilterTableName(*ref, " кардио");
    EXPECT_EQ(Names(), (List{"Аспирин Кардио", "Кардиомагнил"}));
    EXPECT_EQ(Current(), "Аспирин Кардио");  // no name begins with " кардио": first row

    // An empty text resets a filtered list to the first row...
    r = FilterTableName(*ref, "  ");
    EXPECT_TRUE(r.listChanged);
    EXPECT_EQ(ref->qMain.Sql(), "select * from b where id>0  order by pname");
    EXPECT_EQ(ref->qMain.RecordCount(), 10);
    EXPECT_EQ(ref->qMain.RecNo(), 0);
    // ...and does nothing on an unfiltered one.
    ShowAll(*ref);
    r = FilterTableName(*ref, "");
    EXPECT_FALSE(r.listChanged);
    EXPECT_FALSE(r.redraw);
    EXPECT_EQ(ref->qMain.Sql(), "select * from b order by pname");
}

TEST_F(SearchFixture, SearchesOfAThousandWordsAndMoreRun) {
    std::string many = "но";
    for (int i = 0; i < 1500; ++i)
        many += " шп";
    FilterTableName(*ref, many);
    EXPECT_EQ(Names(), (List{"Но-шпа", "Но-шпа форте"}));
    UniversalSearch(*ref, many + " форте");
    EXPECT_EQ(Names(), (List{"Но-шпа форте"}));
    ExtendedCriteria c;
    c.name = many;
    ExtendedSearch(*ref, c);
    EXPECT_EQ(Names(), (List{"Но-шпа", "Но-шпа форте"}));
}

TEST_F(SearchFixture, TypedCharactersMatchLiterally) {
    FilterTableName(*ref, " 1,5%");
    EXPECT_EQ(Names(), (List{"Витамин C 1,5% [форте]"}));
    FilterTableName(*ref, " [форте]");
    EXPECT_EQ(Names(), (List{"Витамин C 1,5% [форте]"}));
    FilterTableName(*ref, " _");  // no wildcard: no name holds an underscore
    EXPECT_EQ(Names(), (List{}));
    FilterTableName(*ref, " 1.5");
    EXPECT_EQ(Names(), (List{}));
}

TEST_F(SearchFixture, UniversalSearchCoversNamesSynonymsAndIndexes) {
    std::vector<std::string> shown;
    CommandResult r =
        UniversalSearch(*ref, "аспирин", [&](const std::string& s) { shown.push_back(s); });
    EXPECT_EQ(shown, (List{"Выполнение запроса..."}));
    EXPECT_EQ(Names(), (List{"Аспирин", "Аспирин Кардио", "Кардиомагнил"}));
    EXPECT_EQ(r.status, "Запрос выполнен. Найдено 3");
    EXPECT_EQ(r.highlightSearchWords, true);
    EXPECT_TRUE(r.redraw);

    // Index words: "боль" in the indications; the 2 and the one-letter word never matter.
    UniversalSearch(*ref, "боль");
    EXPECT_EQ(Names(), (List{"Анальгин", "Аспирин", "Парацетамол"}));
    UniversalSearch(*ref, "жаропонижающее болеутоляющее");
    EXPECT_EQ(Names(), (List{"Парацетамол"}));

    // No words: the message, nothing else changes.
    const std::string before = ref->qMain.Sql();
    r = UniversalSearch(*ref, "   ");
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text, "Необходимо ввести критерии поиска!");
    EXPECT_EQ(r.message->title, "Недостаточно данных");
    EXPECT_EQ(r.message->icon, MessageBoxText::Icon::Exclamation);
    EXPECT_FALSE(r.listChanged);
    EXPECT_FALSE(r.highlightSearchWords);
    EXPECT_EQ(ref->qMain.Sql(), before);
}

TEST_F(SearchFixture, EnterAndSubmitChooseTheCommandAndTheHighlight) {
    CommandResult r = FilterEnter(*ref, "аспирин", true, ref->qMain);
    EXPECT_EQ(r.highlightSearchWords, true);
    EXPECT_EQ(Names().size(), 3u);

    r = SubmitFilter(*ref, "аспирин", false);
    EXPECT_EQ(r.highlightSearchWords, false);
    EXPECT_EQ(Names(), (List{"Аспирин", "Аспирин Кардио"}));

    // Enter in an empty box resets and keeps the current preparation.
    GoTo(6);
    r = FilterEnter(*ref, "", false, ref->qMain);
    EXPECT_EQ(r.highlightSearchWords, false);
    EXPECT_FALSE(r.redraw);
    EXPECT_EQ(ref->qMain.Sql(), "select * from b where id>0 order by pname");
    EXPECT_EQ(ref->qMain.RecordCount(), 10);
    EXPECT_EQ(Current(), "Аспирин Кардио");

    // Universal search of nothing after Enter: the message; highlight was cleared by Enter.
    r = FilterEnter(*ref, " ", true, ref->qMain);
    EXPECT_TRUE(r.message);
    EXPECT_EQ(r.highlightSearchWords, false);
}

TEST_F(SearchFixture, IncrementalLocate) {
    GoTo(3);
    CommandResult r = LocateFilterText(ref->qMain, "pname", "  но-ш ");
    EXPECT_TRUE(r.redraw);
    EXPECT_EQ(r.highlightSearchWords, false);
    EXPECT_EQ(Current(), "Но-шпа");
    r = LocateFilterText(ref->qMain, "pname", "АСП");
    EXPECT_EQ(Current(), "Аспирин");
    r = LocateFilterText(ref->qMain, "pname", "ящерица");
    EXPECT_FALSE(r.redraw);
    EXPECT_EQ(r.status, "Препарат не найден.");
    EXPECT_EQ(Current(), "Аспирин");
    r = LocateFilterText(ref->qMain, "pname", "");
    EXPECT_EQ(ref->qMain.RecNo(), 0);

    // The debounce: one locate per burst of typing, on the first quiet tick.
    FilterDelay delay;
    delay.Changed();
    EXPECT_FALSE(delay.Tick());  // a change within this period
    delay.Changed();
    EXPECT_FALSE(delay.Tick());
    EXPECT_TRUE(delay.Tick());  // a whole quiet period
    EXPECT_TRUE(delay.Tick());  // (the window disables the timer after the locate)
}

TEST_F(SearchFixture, SynonymSelection) {
    GoTo(1);  // Но-шпа: Дротаверин, Спазмол
    std::vector<std::string> shown;
    CommandResult r =
        FilterTableSynonim(*ref, "", [&](const std::string& s) { shown.push_back(s); });
    EXPECT_EQ(shown, (List{"Производится выборка по синонимам..."}));
    EXPECT_EQ(r.status, "Готово");
    EXPECT_TRUE(r.redraw);
    EXPECT_TRUE(r.showListPage);
    EXPECT_EQ(ref->qMain.Sql(),
              "select * from b where id in (select rowid from b_words where b_words match "
              "'({pname} : \"Но-\" AND {pname} : \"шпа\") OR ({pname} : \"Дро\" AND "
              "{pname} : \"тав\" AND {pname} : \"ери\" AND {pname} : \"рин\") OR ({pname} : "
              "\"Спа\" AND {pname} : \"змо\" AND {pname} : \"мол\") OR ({synonim} : \"Но-\" "
              "AND {synonim} : \"шпа\")') and (id>0 and  pname like "
              "'[Нн][Оо][-][Шш][Пп][Аа]' or pname like "
              "'[Дд][Рр][Оо][Тт][Аа][Вв][Ее][Рр][Ии][Нн]' or pname like "
              "'[Сс][Пп][Аа][Зз][Мм][Оо][Лл]' or "
              "synonim like '%[Нн][Оо][-][Шш][Пп][Аа]%') order by pname, id");
    EXPECT_EQ(Names(), (List{"Дротаверин", "Но-шпа", "Спазмол"}));
    EXPECT_EQ(Current(), "Но-шпа");

    // Typed text replaces the name's words in the synonym test.
    GoTo(3);  // Спазмол, no synonyms
    FilterTableSynonim(*ref, "дротаверин");
    EXPECT_EQ(Names(), (List{"Но-шпа", "Но-шпа форте", "Спазмол"}));
    EXPECT_EQ(Current(), "Спазмол");

    // An empty list has no current row: with typed text it still selects.
    FilterTableName(*ref, "ящерица");
    ASSERT_TRUE(ref->qMain.IsEmpty());
    r = FilterTableSynonim(*ref, " кардио");
    EXPECT_TRUE(r.listChanged);
    EXPECT_EQ(Names(), (List{"Кардиомагнил"}));
}

TEST_F(SearchFixture, ResetAndShowAll) {
    FilterTableName(*ref, "аспирин");
    GoTo(6);
    CommandResult r = N15Click(*ref, ref->qMain);
    EXPECT_TRUE(r.listChanged);
    EXPECT_FALSE(r.redraw);
    EXPECT_EQ(r.highlightSearchWords, false);
    EXPECT_EQ(ref->qMain.RecordCount(), 10);
    EXPECT_EQ(Current(), "Аспирин Кардио");

    // Errors are swallowed: the list stays closed, nothing is thrown.
    fx.Exec("alter table b rename to b_gone");
    EXPECT_NO_THROW(N15Click(*ref, ref->qMain));
    EXPECT_FALSE(ref->qMain.Active());
    EXPECT_THROW(ShowAll(*ref), Error);
    fx.Exec("alter table b_gone rename to b");

    FilterTableName(*ref, "аспирин");
    r = ShowAll(*ref);
    EXPECT_EQ(ref->qMain.Sql(), "select * from b order by pname");
    EXPECT_EQ(ref->qMain.RecNo(), 0);
    EXPECT_FALSE(r.redraw);
    EXPECT_FALSE(r.highlightSearchWords);
}

TEST_F(SearchFixture, ExtendedSearchAndPacketFilter) {
    std::vector<std::string> shown;
    CommandResult r = ExtendedSearch(*ref, {.indications = "боль\r\nголовная"},
                                     [&](const std::string& s) { shown.push_back(s); });
    EXPECT_EQ(shown, (List{"Выполнение запроса..."}));
    EXPECT_EQ(Names(), (List{"Аспирин", "Парацетамол"}));
    EXPECT_EQ(r.status, "Запрос выполнен. Найдено 2");
    EXPECT_FALSE(r.redraw);
    EXPECT_FALSE(r.highlightSearchWords);

    ExtendedSearch(*ref, {.name = "пара", .indications = "боль"});
    EXPECT_EQ(Names(), (List{"Парацетамол"}));
    ExtendedSearch(*ref, {.action = "боль"});  // in the indications only ("болеутоляющее" lacks it)
    EXPECT_EQ(Names(), (List{}));
    ExtendedSearch(*ref, {.synonyms = "кислота", .action = "противовоспалительное"});
    EXPECT_EQ(Names(), (List{"Аспирин"}));
    ExtendedSearch(*ref, {.indications = "ра"});           // two letters: only inside longer words
    EXPECT_EQ(Names(), (List{"Аспирин", "Парацетамол"}));  // раза, лихорадка

    const std::string before = ref->qMain.Sql();
    r = ExtendedSearch(*ref, {.name = " ", .indications = "\r\n"});
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text, "Необходимо ввести критерии поиска!");
    EXPECT_EQ(ref->qMain.Sql(), before);

    r = PacketFilter(*ref, "12 (09.12.2026 10:15:00)");
    EXPECT_EQ(ref->qMain.Sql(), "select * from b where status=12 order by pname");
    EXPECT_EQ(Names(), (List{"Аспирин", "Аспирин Кардио"}));
    EXPECT_EQ(r.status, "Запрос выполнен. Найдено 2");
    EXPECT_FALSE(r.redraw);

    r = PacketFilter(*ref, std::nullopt);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text, "Выберите пакет!");
    r = PacketFilter(*ref, "двенадцать (09.12.2026)");
    ASSERT_TRUE(r.message);
    EXPECT_EQ(r.message->text, "error!");
    EXPECT_EQ(ref->qMain.Sql(), "select * from b where status=12 order by pname");
}

TEST_F(SearchFixture, HostileTextRunsAndChangesNothing) {
    auto snapshot = [&] {
        std::ostringstream out;
        Statement st = ref->Db().Prepare(
            "select group_concat(id || '|' || pname || '|' || ifnull(synonim, '') || '|' || "
            "ifnull(ndx1, ''), ';') "
            "from (select * from b order by id)");
        st.Step();
        out << st.ColumnText(0);
        for (const auto& t : ref->Db().UserTables())
            out << "/" << t;
        return out.str();
    };
    const std::string before = snapshot();
    const std::vector<std::string> texts = {
        "'",
        "''; drop table b; --",
        "') or 1=1 or ('",
        "\" or \"\"=\"",
        "[",
        "]",
        "[!]",
        "[!a-z]",
        "[a-",
        "%_*?#",
        "_",
        "\\",
        "x' union select * from settings --",
        std::string("a\0b'; delete from b; --", 23),
        "\x01\x02\x1b\x7f\t\r\n",
        std::string(10000, 'a'),
        std::string(3000, '\''),
        "中文 テキスト 😀 Ωμέγα عربى",
        "\xff\xfe\xc3",
        " ; ; ; ",
        "or or or",
        "where",
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(t.substr(0, 40));
        ShowAll(*ref);
        GoTo(1);
        const auto changes = sqlite3_total_changes64(ref->Db().Handle());
        EXPECT_NO_THROW(FilterTableName(*ref, t));
        EXPECT_NO_THROW(UniversalSearch(*ref, t));
        EXPECT_NO_THROW(LocateFilterText(ref->qMain, "pname", t));
        EXPECT_NO_THROW(FilterTableSynonim(*ref, t));
        EXPECT_NO_THROW(
            ExtendedSearch(*ref, {.name = t, .synonyms = t, .indications = t, .action = t}));
        EXPECT_NO_THROW(PacketFilter(*ref, t));
        EXPECT_NO_THROW(PacketFilter(*ref, t + " (x)"));
        EXPECT_EQ(sqlite3_total_changes64(ref->Db().Handle()), changes);
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(SearchFixture, NamesWithQuotesAndBracketsSelectTheirSynonyms) {
    fx.Exec(
        "insert into b (id, pname, synonim) values (11, 'Д''Ор [форте]', 'Капли_1'), (12, "
        "'Капли_1', '')");
    ref->qMain.Open();
    GoTo(11);
    FilterTableSynonim(*ref, "");
    EXPECT_EQ(Names(), (List{"Д'Ор [форте]", "Капли_1"}));
}

TEST(PercentDone, RoundsHalvesToEven) {
    const int cases[][3] = {{1, 3, 33},  {2, 3, 67},  {3, 3, 100}, {1, 8, 12}, {3, 8, 38},
                            {1, 200, 0}, {3, 200, 2}, {5, 200, 2}, {0, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(PercentDone(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
}

TEST_F(SearchFixture, RebuildIndexCoversTheListAndRepairsTheSearchIndex) {
    auto sortedWords = [](const std::string& bag) {
        std::vector<std::string> w = SplitText(bag, " ");
        std::sort(w.begin(), w.end());
        return w;
    };
    auto ndxRows = [&] {
        Statement st = ref->Db().Prepare("select count(*), count(distinct id) from ndx");
        st.Step();
        return std::pair(st.ColumnInt(0), st.ColumnInt(1));
    };
    // The search index of 7 went stale: a universal search misses it.
    fx.Exec("update b set ndx1 = 'старое ' where id in (1, 7)");
    UniversalSearch(*ref, "лихорадка");
    EXPECT_EQ(Names(), (List{}));

    ref->qMain.SetSql("select * from b where id in (5, 7, 8) order by pname");
    ref->qMain.Open();
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::string> shown;
        RebuildIndexTable(ref->qMain, fx.path(), [&](const std::string& s) { shown.push_back(s); });
        EXPECT_EQ(shown, (List{"Построение таблиц индексов...", "33%", "67%", "100%", ""}));
        EXPECT_TRUE(ref->qMain.Eof());
        EXPECT_EQ(ndxRows(), std::pair(std::int64_t{3}, std::int64_t{3}));
    }
    Statement st = ref->Db().Prepare("select n1, n2 from ndx where id = 5");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(sortedWords(st.ColumnText(0)), (List{"", "боль", "головная", "день", "раза"}));
    EXPECT_EQ(sortedWords(st.ColumnText(1)), (List{"", "жаропонижающее", "противовоспалительное"}));

    UniversalSearch(*ref, "лихорадка");
    EXPECT_EQ(Names(), (List{"Парацетамол"}));
    // A row outside the list keeps its stale index.
    Statement stale = ref->Db().Prepare("select ndx1 from b where id = 1");
    stale.Step();
    EXPECT_EQ(stale.ColumnText(0), "старое ");
}

TEST_F(SearchFixture, RebuildOfAnEmptyListAndOfAMissingTable) {
    auto state = [&] {
        Statement st = ref->Db().Prepare(
            "select (select group_concat(name) from sqlite_master), (select count(*) from ndx), "
            "(select group_concat(ifnull(ndx1, '')) from b)");
        st.Step();
        return st.ColumnText(0) + "/" + st.ColumnText(1) + "/" + st.ColumnText(2);
    };
    const std::string before = state();
    FilterTableName(*ref, "ящерица");
    std::vector<std::string> shown;
    RebuildIndexTable(ref->qMain, fx.path(), [&](const std::string& s) { shown.push_back(s); });
    EXPECT_EQ(shown, (List{"Построение таблиц индексов...", ""}));
    EXPECT_EQ(state(), before);

    fx.Exec("drop table ndx");
    ShowAll(*ref);
    shown.clear();
    EXPECT_THROW(
        RebuildIndexTable(ref->qMain, fx.path(), [&](const std::string& s) { shown.push_back(s); }),
        Error);
    EXPECT_EQ(shown, (List{"Построение таблиц индексов..."}));
}
