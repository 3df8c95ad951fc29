#include <gtest/gtest.h>

#include <clocale>

#include "search/conditions.h"
#include "search/statements.h"

using namespace orv;

TEST(LikeCondition, WorkedExamplesAndEdgeCases) {
    struct Case {
        const char* text;
        bool exact;
        const char* expected;
    };
    const Case cases[] = {
        {"но шпа", false, "name like '[Нн][Оо]%' and name like '%[Шш][Пп][Аа]%'"},
        {" но шпа", false, "name like '%[Нн][Оо]%' and name like '%[Шш][Пп][Аа]%'"},
        {"5-НОК", false, "name like '5[-][Нн][Оо][Кк]%'"},
        // No condition.
        {"", false, ""},
        {"   ", false, ""},
        {"%%%", false, ""},
        {" \t\r\n", false, ""},
        {"", true, ""},
        // Separators: leading runs, trailing, repeated.
        {"   но", false, "name like '%[Нн][Оо]%'"},
        {"но ", false, "name like '[Нн][Оо]%'"},
        {"но%", false, "name like '[Нн][Оо]%'"},
        {"но    шпа", false, "name like '[Нн][Оо]%' and name like '%[Шш][Пп][Аа]%'"},
        {"но% %шпа", false, "name like '[Нн][Оо]%' and name like '%[Шш][Пп][Аа]%'"},
        {"но%шпа", false, "name like '[Нн][Оо]%' and name like '%[Шш][Пп][Аа]%'"},
        // Every other character is a literal one-character class.
        {"д'ор", false, "name like '[Дд][''][Оо][Рр]%'"},
        {"a[b]", false, "name like '[Aa][[][Bb][]]%'"},
        {"_*?#!", false, "name like '[_][*][?][#][!]%'"},
        // Digits and the Russian decimal separator stay bare; the full stop does not.
        {"1,5", false, "name like '1,5%'"},
        {"1.5", false, "name like '1[.]5%'"},
        {"Ёж", false, "name like '[Ёё][Жж]%'"},
        // Exact mode: spaces are characters, only % separates.
        {"Но-шпа форте", true, "name like '[Нн][Оо][-][Шш][Пп][Аа][ ][Фф][Оо][Рр][Тт][Ее]'"},
        {"%шпа", true, "name like '%[Шш][Пп][Аа]'"},
        {"но%шпа", true, "name like '[Нн][Оо]' and name like '%[Шш][Пп][Аа]'"},
        {"%%шпа", true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LikeCondition(c.text, "name", c.exact), c.expected) << "[" << c.text << "]";
    }
}

TEST(LikeCondition, DecimalSeparatorIsTheCommaWhateverTheLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    for (const char* locale : {"C", "C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"}) {
        std::setlocale(LC_ALL, locale);
        EXPECT_EQ(LikeCondition("2,5 0.5", "n", false), "n like '2,5%' and n like '%0[.]5%'")
            << locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(LikeCondition, NulAndStrayBytesNeverReachTheStatementText) {
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(LikeCondition(withNul, "n", false), "n like '[Aa][Bb]%'");
    // A byte that is not UTF-8 comes out as a whole character.
    EXPECT_EQ(LikeCondition("\xff", "n", false), "n like '[\xc3\xbf]%'");
}

TEST(ListCondition, WorkedExampleAndEmptyPieces) {
    EXPECT_EQ(
        ListCondition("Но-шпа,Дротаверин, Спазмол", "name"),
        " name like '[Нн][Оо][-][Шш][Пп][Аа]' or name like "
        "'[Дд][Рр][Оо][Тт][Аа][Вв][Ее][Рр][Ии][Нн]' or name like '[Сс][Пп][Аа][Зз][Мм][Оо][Лл]'");
    EXPECT_EQ(ListCondition("Спазмол,", "name"), " name like '[Сс][Пп][Аа][Зз][Мм][Оо][Лл]'");
    EXPECT_EQ(ListCondition(",,  , ", "name"), "");
    EXPECT_EQ(ListCondition("", "name"), "");
    EXPECT_EQ(ListCondition(" Аква Марис ", "pname"),
              " pname like '[Аа][Кк][Вв][Аа][ ][Мм][Аа][Рр][Ии][Сс]'");
}

TEST(SearchStatements, WorkedExamples) {
    EXPECT_EQ(NameFilterSql("но шпа", "name"),
              "select * from b where id>0  and name like '[Нн][Оо]%' and name like "
              "'%[Шш][Пп][Аа]%' order by name");
    EXPECT_EQ(NameFilterSql("", "name"), "select * from b where id>0  order by name");
    EXPECT_EQ(NameFilterSql("   ", "name"), "select * from b where id>0  order by name");

    const std::string a = "'%[Аа][Сс][Пп][Ии][Рр][Ии][Нн]%'";
    EXPECT_EQ(UniversalSearchSql("аспирин", "name"),
              "select * from b  where (name like " + a + " or synonim like " + a +
                  " or ndx1 like " + a + " or ndx2 like " + a + " ) order by name");
    EXPECT_EQ(UniversalSearchSql("   ", "name"), std::nullopt);
    EXPECT_EQ(UniversalSearchSql("\r\n", "name"), std::nullopt);

    EXPECT_EQ(
        SynonymSql(SynonymCondition("Но-шпа", "Дротаверин, Спазмол", " Но-шпа", "name"), "name"),
        "select * from b where id>0 and  name like '[Нн][Оо][-][Шш][Пп][Аа]' or name like "
        "'[Дд][Рр][Оо][Тт][Аа][Вв][Ее][Рр][Ии][Нн]' or name like '[Сс][Пп][Аа][Зз][Мм][Оо][Лл]' or "
        "synonim like '%[Нн][Оо][-][Шш][Пп][Аа]%' order by name");

    EXPECT_EQ(ExtendedSearchSql({.name = "парацетамол", .indications = "головная боль"}, "name"),
              "select * from b  where name like '%[Пп][Аа][Рр][Аа][Цц][Ее][Тт][Аа][Мм][Оо][Лл]%' "
              "and ndx1 like "
              "'%[Гг][Оо][Лл][Оо][Вв][Нн][Аа][Яя]%' and ndx1 like '%[Бб][Оо][Лл][Ьь]%' and  id>0  "
              "order by name");

    EXPECT_EQ(ResetSelectionSql("name"), "select * from b where id>0 order by name");
    EXPECT_EQ(PacketFilterSql(12, "name"), "select * from b where status=12 order by name");
}

TEST(SearchStatements, SynonymConditionNeverLeavesADanglingOr) {
    // A row without a name: only the synonym words.
    EXPECT_EQ(SynonymCondition("", "", "шпа", "name"), " and synonim like '[Шш][Пп][Аа]%'");
    // Nothing typed and no name: only the synonym list.
    EXPECT_EQ(SynonymCondition("", "Спазмол", " ", "name"),
              " and  name like '[Сс][Пп][Аа][Зз][Мм][Оо][Лл]'");
    EXPECT_EQ(SynonymCondition("", "", " ", "name"), "");
}

TEST(SearchStatements, ExtendedCriteria) {
    EXPECT_EQ(ExtendedSearchSql({}, "name"), std::nullopt);
    EXPECT_EQ(
        ExtendedSearchSql(
            {.name = "  ", .synonyms = "\r\n", .indications = " \r\n ", .action = "\n"}, "name"),
        std::nullopt);
    // One criterion: the joiner, then two spaces before id.
    EXPECT_EQ(ExtendedSearchSql({.synonyms = "шпа"}, "pname"),
              "select * from b  where synonim like '%[Шш][Пп][Аа]%' and  id>0  order by pname");
    // Lines of a memo are separate words, whichever line break the memo uses.
    const std::string two = "ndx2 like '%[Бб][Оо][Лл][Ьь]%' and ndx2 like '%[Жж][Аа][Рр]%'";
    for (const char* text : {"боль\r\nжар", "боль\nжар", "боль\rжар"}) {
        EXPECT_EQ(ExtendedSearchSql({.action = text}, "name"),
                  "select * from b  where " + two + " and  id>0  order by name")
            << text;
    }
}

TEST(SearchStatements, PacketEntries) {
    EXPECT_EQ(PacketNumberOfEntry("12 (09.12.2026 10:15:00)"), 12);
    EXPECT_EQ(PacketNumberOfEntry("  7  (01.01.2020)"), 7);
    EXPECT_EQ(PacketNumberOfEntry("$1F (x)"), 31);       // written to the statement as 31
    EXPECT_EQ(PacketNumberOfEntry("12"), std::nullopt);  // no " (": the number text is empty
    EXPECT_EQ(PacketNumberOfEntry("abc (1)"), std::nullopt);
    EXPECT_EQ(PacketNumberOfEntry(""), std::nullopt);
    EXPECT_EQ(PacketNumberOfEntry("1; drop table b (x)"), std::nullopt);
}
