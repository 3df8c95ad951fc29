#include <gtest/gtest.h>

#include "db/database.h"
#include "db/jet_like.h"

using namespace orv;

TEST(JetLike, PatternTable) {
    struct Case {
        const char* pattern;
        const char* value;
        bool match;
    };
    const Case cases[] = {
        {"[Нн][Оо]%", "Но-шпа", true},
        {"[Нн][Оо]%", "но-шпа форте", true},
        {"[Нн][Оо]%", "Аноним", false},
        {"%[Шш][Пп][Аа]%", "Но-шпа", true},
        {"%[Шш][Пп][Аа]%", "НО-ШПА", true},
        {"[Нн][Оо][-][Шш][Пп][Аа]", "Но-шпа", true},
        {"[Нн][Оо][-][Шш][Пп][Аа]", "Но-шпа форте", false},
        {"%[[]%", "a[b", true},
        {"%[[]%", "ab", false},
        {"%[]]%", "a]b", true},
        {"%['']%", "a'b", true},
        {"%[ ]%", "a b", true},
        {"%[ ]%", "ab", false},
        {"%[_]%", "a_b", true},
        {"%[_]%", "ab", false},
        {"%[%]%", "50%", true},
        {"%[%]%", "50", false},
        {"a_c", "abc", true},
        {"a_c", "ac", false},
        {"%", "", true},
        {"", "", true},
        {"", "a", false},
        {"%%a%%", "bab", true},
        {"a%b%c", "aXbYc", true},
        {"a%b%c", "aXcYb", false},
        {"%b", "abb", true},
        {"ab%b", "ab", false},
        {"[Ёё]лка", "ёлка", true},
        {"[Ёё]лка", "ЁЛКА", true},
        {"[Ее]лка", "ёлка", false},
        {"ABC", "abc", true},
        {"[a-c]x", "Bx", true},
        {"[a-c]x", "dx", false},
        {"[!a-c]x", "dx", true},
        {"[!a-c]x", "ax", false},
        {"%[!]%", "Ура!", true},
        {"%[!]%", "Ура", false},
        {"[!]", "!", true},
        // Segments are found through their rarest letter, in either case.
        {"%[Мм][Ии][Гг][Рр][Ее][Нн][Ьь]%", "острая МИГРЕНЬ", true},
        {"%[Мм][Ии][Гг][Рр][Ее][Нн][Ьь]%", "мигренЬ и боль", true},
        {"%[Мм][Ии][Гг][Рр][Ее][Нн][Ьь]%", "мигрен мигрен", false},
        {"%гр%нь%", "мигрень", true},
        {"%аб%", "ааааб", true},
        {"%_[Гг]%", "г", false},
        {"%_[Гг]%", "аг", true},
        {"%[Гг]%", "ѓѓ", false},  // the letter's last byte inside another character
        {"[а-я]", "Ж", true},
        {"%[Аа][Сс][Пп]%", "Кардиомагнил (аспирин)", true},
        {"[abc", "[abc", true},
        {"%[1][,][5]%", "доза 1,5 мг", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LikePattern(c.pattern).Matches(c.value), c.match)
            << c.pattern << " ~ " << c.value;
    }
}

TEST(JetLike, RegisteredOnEveryConnection) {
    Database db(":memory:", Database::Mode::CreateNew);
    db.Exec("create table t (s text)");
    db.Exec("insert into t values ('Но-шпа'), ('Анальгин'), (NULL), ('НОШПА')");
    Statement st = db.Prepare("select count(*) from t where s like '[Нн][Оо]%'");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColumnInt(0), 2);
    Statement nulls = db.Prepare("select count(*) from t where s like '%'");
    ASSERT_TRUE(nulls.Step());
    EXPECT_EQ(nulls.ColumnInt(0), 3);
}
