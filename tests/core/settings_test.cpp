#include <gtest/gtest.h>

#include <map>

#include "db/reference.h"
#include "settings/settings_store.h"
#include "settings/settings_values.h"
#include "support/fixture_reference.h"
#include "util/error.h"

using namespace orv;
using orv::test::FixtureReference;

namespace {

class SettingsFixture : public ::testing::Test {
  protected:
    // key -> value as the table holds them (NULL values are written as such by Exec).
    std::map<std::string, std::string> Rows() {
        std::map<std::string, std::string> rows;
        Database db(fx.path());
        Statement st = db.Prepare("select key, value from settings");
        while (st.Step())
            rows[st.ColumnText(0)] = st.ColumnText(1);
        return rows;
    }
    void Store(const std::string& key, const std::string& value) {
        Database db(fx.path());
        Statement st = db.Prepare("insert into settings (key, value) values (?, ?)");
        st.Bind(1, key);
        st.Bind(2, value);
        st.Step();
    }

    FixtureReference fx;
};

}  // namespace

TEST_F(SettingsFixture, EmptyTableGivesDefaultsAndFirstSaveWritesEveryKey) {
    Database db(fx.path());
    SettingsStore store(db);
    SettingsValues v;
    v.sections[3].checked = false;
    v.integers[IntControl::ListWidth] = 999;       // fixed default 257 wins
    v.integers[IntControl::LeftPanelWidth] = 300;  // current value is the default
    v.texts[TextControl::ProxyHost] = "leftover";  // fixed default: empty
    v.flags[FlagControl::UseProxy] = true;
    EXPECT_TRUE(OpenSettings(store, v).empty());
    SettingsValues design;
    EXPECT_EQ(v.sections, design.sections);  // all ticked again
    EXPECT_EQ(v.integers[IntControl::ListWidth], 257);
    EXPECT_EQ(v.integers[IntControl::LeftPanelWidth], 300);
    EXPECT_EQ(v.texts[TextControl::ProxyHost], "");
    EXPECT_EQ(v.texts[TextControl::ProxyPort], "80");
    EXPECT_FALSE(v.flags[FlagControl::UseProxy]);
    EXPECT_TRUE(v.flags[FlagControl::CheckUpdates]);
    EXPECT_EQ(store.Held().templates[0], TemplateDefault(TemplateKind::Header));
    EXPECT_EQ(store.Held().templates[3].substr(0, 26), "<hr><table width=\"100%\" bo");

    store.SaveSettings(v);
    auto rows = Rows();
    EXPECT_EQ(rows.size(),
              34u);  // 7 look keys, 4 templates, 17 flags, checkup, 4 proxy fields, useproxy
    EXPECT_EQ(rows.size(), SettingKeys().size());
    EXPECT_EQ(rows.count("wPn1"), 1u);
    EXPECT_EQ(rows.count("wpn1"), 0u);
    EXPECT_EQ(rows["wPn1"], "300");
    EXPECT_EQ(rows["cFullDispl"], "-16777211");
    EXPECT_EQ(rows["cGB"], "15532029");
    EXPECT_EQ(rows["fGB"], "MS Sans Serif|10|1|0|0|0|8388608");
    EXPECT_EQ(rows["fFullDispl"], "Arial|10|0|0|0|0|-16777208");
    EXPECT_EQ(rows["useproxy"], "False");
    EXPECT_EQ(rows["FirstTime"], "True");
    EXPECT_EQ(rows["port"], "80");
    EXPECT_EQ(rows["proxy"], "");
    EXPECT_EQ(rows["items"].rfind("yПроизводители\r\nyСинонимы\r\n", 0), 0u);
    EXPECT_EQ(rows["items"].substr(rows["items"].size() - 2), "\r\n");
    EXPECT_EQ(rows["TegFtr"], "</body></html>");
}

TEST_F(SettingsFixture, SavedValuesLoadBackIntoFreshControls) {
    Database db(fx.path());
    SettingsStore store(db);
    SettingsValues a;
    OpenSettings(store, a);
    std::swap(a.sections[0], a.sections[14]);
    a.sections[2].checked = false;
    a.integers = {{IntControl::FullDisplayColor, 0x00FFEE},
                  {IntControl::LeftPanelWidth, 180},
                  {IntControl::ListColor, -16777201},
                  {IntControl::ListWidth, 400}};
    a.fonts[FontControl::ListFont] = {"Tahoma", 12, false, true, true, true, 255};
    a.fonts[FontControl::FullDisplayFont] = {"Courier New", 14,    true,     false,
                                             false,         false, -16777208};
    a.texts = {{TextControl::ProxyHost, "proxy.local"},
               {TextControl::ProxyPort, "3128"},
               {TextControl::ProxyLogin, "аптека"},
               {TextControl::ProxyPassword, "p|a ss"}};
    a.flags = {{FlagControl::CheckUpdates, false}, {FlagControl::UseProxy, true}};
    store.Held().flags[4] = false;
    store.Held().templates[2] = "<p>@name@</p>";
    store.SaveSettings(a);

    Database db2(fx.path());
    SettingsStore other(db2);
    SettingsValues b;
    EXPECT_TRUE(OpenSettings(other, b).empty());
    EXPECT_EQ(b.sections, a.sections);
    EXPECT_EQ(b.integers, a.integers);
    EXPECT_EQ(b.fonts, a.fonts);
    EXPECT_EQ(b.texts, a.texts);
    EXPECT_EQ(b.flags, a.flags);
    EXPECT_FALSE(other.Held().flags[4]);
    EXPECT_EQ(other.Held().templates[2], "<p>@name@</p>");
    EXPECT_EQ(Rows()["nname"], "False");

    // A second save rewrites the same rows.
    store.SaveSettings(a);
    EXPECT_EQ(Rows().size(), SettingKeys().size());

    // A change made by another program meanwhile (a new row included) is seen by the next load,
    // and the next save neither fails nor duplicates it.
    other.SetKey("Новый", "1");
    other.SetKey("wpn1", "222");
    store.LoadSettings(a);
    EXPECT_EQ(a.integers[IntControl::LeftPanelWidth], 222);
    store.SetKey("НОВЫЙ", "2");
    store.SaveSettings(a);
    EXPECT_EQ(Rows()["Новый"], "2");
    EXPECT_EQ(Rows().size(), SettingKeys().size() + 1);
}

TEST_F(SettingsFixture, KeysIgnoreCaseAndKeepTheirFirstSpelling) {
    Store("WPN1", "400");
    Store("PORT", "8080");
    Database db(fx.path());
    SettingsStore store(db);
    SettingsValues v;
    OpenSettings(store, v);
    EXPECT_EQ(v.integers[IntControl::LeftPanelWidth], 400);
    EXPECT_EQ(v.texts[TextControl::ProxyPort], "8080");
    EXPECT_EQ(store.GetKey("Port", "x"), "8080");
    EXPECT_EQ(store.GetKey("nosuch", "x"), "x");

    v.integers[IntControl::LeftPanelWidth] = 410;
    store.SaveSettings(v);
    auto rows = Rows();
    EXPECT_EQ(rows["WPN1"], "410");
    EXPECT_EQ(rows.count("wPn1"), 0u);
    EXPECT_EQ(rows["PORT"], "8080");
    EXPECT_EQ(rows.size(), SettingKeys().size());

    store.SetKey("Новый", "1");
    store.SetKey("НОВЫЙ", "2");  // Cyrillic capitals find the same row
    rows = Rows();
    EXPECT_EQ(rows["Новый"], "2");
    EXPECT_EQ(rows.count("НОВЫЙ"), 0u);
}

// A stored value that does not convert takes the key's default; the keys after it still load.
TEST_F(SettingsFixture, BadValuesFallBackAndLoadingGoesOn) {
    const std::map<std::string, std::string> stored = {
        {"cFullDispl", "12"},
        {"wpn1", "широкая"},
        {"cGB", "99999999999"},
        {"wGB", "x"},
        {"fGB", "Arial|big|1|0|0|0|0"},
        {"fFullDispl", "Verdana|9|0|1|0|0|oops"},
        {"checkup", "0"},
        {"useproxy", "maybe"},
        {"proxy", "10.0.0.1"},
        {"port", "   "},
        {"name", "нет"},
        {"lekFrm", "FALSE"},
        {"proiz", " false "},
        {"fgroup", "2"},
        {"nname", "0,0"},
        {"login", "\t"},
    };
    for (const auto& [k, val] : stored)
        Store(k, val);
    Database db(fx.path());
    SettingsStore store(db);
    SettingsValues v;
    v.flags[FlagControl::UseProxy] = true;
    v.texts[TextControl::ProxyLogin] = "old";
    const std::vector<std::string> bad = OpenSettings(store, v);
    EXPECT_EQ(bad, (std::vector<std::string>{"wpn1", "cGB", "wGB", "fGB", "fFullDispl", "name",
                                             "useproxy"}));

    SettingsValues design;
    EXPECT_EQ(v.integers[IntControl::FullDisplayColor], 12);
    EXPECT_EQ(v.integers[IntControl::LeftPanelWidth], 265);  // current value kept
    EXPECT_EQ(v.integers[IntControl::ListColor], 15532029);
    EXPECT_EQ(v.integers[IntControl::ListWidth], 257);
    EXPECT_EQ(v.fonts, design.fonts);
    EXPECT_FALSE(v.flags[FlagControl::CheckUpdates]);
    EXPECT_FALSE(v.flags[FlagControl::UseProxy]);  // its default
    EXPECT_EQ(v.texts[TextControl::ProxyHost], "10.0.0.1");
    EXPECT_EQ(v.texts[TextControl::ProxyPort], "80");  // blank counts as missing
    EXPECT_EQ(v.texts[TextControl::ProxyLogin], "");
    const auto& f = store.Held().flags;
    EXPECT_TRUE(f[0]);   // "нет" is no boolean: default True
    EXPECT_FALSE(f[1]);  // FALSE
    EXPECT_FALSE(f[2]);  // " false "
    EXPECT_TRUE(f[3]);   // 2
    EXPECT_FALSE(f[4]);  // 0,0
}

TEST_F(SettingsFixture, FontsAndSectionListsInTheirTextForms) {
    Store("fGB", "Tahoma|11|0|1|0|0");          // six parts: the colour stays
    Store("fFullDispl", "Courier|20|1|1|1|1");  // likewise
    Store("items", "yСостав\r\nnСиноним\nyНет такого\rnФармГруппа");
    Database db(fx.path());
    SettingsStore store(db);
    SettingsValues v;
    v.fonts[FontControl::FullDisplayFont].color = 77;
    EXPECT_TRUE(OpenSettings(store, v).empty());
    EXPECT_EQ(v.fonts[FontControl::ListFont],
              (FontSpec{"Tahoma", 11, false, true, false, false, 0x800000}));
    EXPECT_EQ(v.fonts[FontControl::FullDisplayFont],
              (FontSpec{"Courier", 20, true, true, true, true, 77}));
    EXPECT_EQ(
        v.sections,
        (std::vector<CheckEntry>{
            {"Состав", true}, {"Синоним", false}, {"Нет такого", true}, {"ФармГруппа", false}}));

    // Five parts change nothing.
    store.SetKey("fGB", "Arial|8|1|1|1");
    SettingsValues w;
    store.LoadSettings(w);
    EXPECT_EQ(w.fonts[FontControl::ListFont], SettingsValues{}.fonts[FontControl::ListFont]);
}

TEST_F(SettingsFixture, MissingTableIsNamed) {
    fx.Exec("drop table settings");
    Database db(fx.path());
    SettingsStore store(db);
    SettingsValues v;
    try {
        OpenSettings(store, v);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(fx.path()), std::string::npos) << e.what();
    }
}

TEST(SettingsForms, BooleansAndIntegers) {
    const struct {
        const char* text;
        bool ok;
        bool value;
    } bools[] = {{"True", true, true}, {"false", true, false}, {"TRUE", true, true},
                 {"0", true, false},   {"-1", true, true},     {"1.5", true, true},
                 {"0,0", true, false}, {"yes", false, false},  {"", false, false},
                 {"Tru", false, false}};
    for (const auto& c : bools) {
        bool v = !c.value;
        EXPECT_EQ(TextToBool(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(BoolToText(true), "True");
    EXPECT_EQ(BoolToText(false), "False");

    std::int32_t i = 0;
    EXPECT_TRUE(TextToInteger(" -16777211 ", i));
    EXPECT_EQ(i, -16777211);
    EXPECT_FALSE(TextToInteger("2147483648", i));
    EXPECT_FALSE(TextToInteger("12px", i));

    EXPECT_EQ(FindSettingKey("WPN1")->saveName, "wPn1");
    EXPECT_EQ(FindSettingKey("nosuch"), nullptr);
    EXPECT_EQ(SettingKeys().front().name, "items");
    EXPECT_EQ(SettingKeys().back().name, "useproxy");
}
