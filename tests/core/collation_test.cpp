#include <gtest/gtest.h>

#include "db/database.h"
#include "db/russian_collation.h"

using namespace orv;

TEST(RussianCollation, OrdersAndComparesWithoutCase) {
    EXPECT_EQ(RussianCompare("Deleted", "deleted"), 0);
    EXPECT_LT(RussianCompare("абв", "АБГ"), 0);
    EXPECT_GT(RussianCompare("Ель", "Ёлка"), 0);  // Ё sorts with Е: the third letters decide
    EXPECT_GT(RussianCompare("Ёж", "Еда"), 0);
    EXPECT_GT(RussianCompare("Ежевика", "Ёж"), 0);  // only the first letters differ in Ё
    EXPECT_LT(RussianCompare("Ёж", "Жасмин"), 0);
    EXPECT_NE(RussianCompare("Еж", "Ёж"), 0);
    EXPECT_LT(RussianCompare("Aspirin", "Аспирин"), 0);  // Latin before Cyrillic
    EXPECT_LT(RussianCompare("5-НОК", "Аспирин"), 0);
    EXPECT_LT(RussianCompare("Но", "Но-шпа"), 0);

    Database db(":memory:", Database::Mode::CreateNew);
    db.Exec("create table t (s text collate RU)");
    db.Exec(
        "insert into t values ('Жасмин'), ('ёж'), ('Еда'), ('аспирин'), ('Deleted'), ('Банан')");
    Statement st = db.Prepare("select s from t where s<>\"deleted\" order by s");
    std::vector<std::string> order;
    while (st.Step())
        order.push_back(st.ColumnText(0));
    EXPECT_EQ(order, (std::vector<std::string>{"аспирин", "Банан", "Еда", "ёж", "Жасмин"}));
}
