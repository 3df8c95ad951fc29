#pragma once
// A fixture reference whose preparations carry description texts, stored scrambled as the
// packet engine stores them, with groups and manufacturers.
#include <map>
#include <string>

#include "support/fixture_reference.h"
#include "util/text.h"

namespace orv::test {

// The example preparation (id 42) of the golden page.
inline const std::map<std::string, std::string> kNoShpaTexts = {
    {"n1", "Дротаверина гидрохлорид — 40 мг.<br>Вспомогательные вещества: <i>магния стеарат</i>."},
    {"n2", "Спазмолитическое средство; снижает тонус гладкой мускулатуры &laquo;ЖКТ&raquo;."},
    {"n3", "Головокружение, сердцебиение."},
    {"n5", "  Спазм гладкой мускулатуры при заболеваниях желчевыводящих путей."},
    {"n6", "Тяжёлая печёночная недостаточность."},
    {"n7", "Внутрь, по 1–2 таблетки 2–3 раза в сутки."},
    {"n8", "Таблетки 40 мг."},
    {"n9", "При температуре <b>не выше 25 °C</b>."},
    {"n10", "служебный текст"},
    {"n11", "[12],[34]"},
    {"n12", "7"},
    {"n13", "Дротаверин"},
    {"n14", "   "},
    {"n15", "С осторожностью при артериальной гипотензии."},
    {"n16", "не читается"},
};

// The stored section list of the golden page: an unticked section with text, an unknown caption,
// a caption in other capitals, sections with blank or empty texts.
inline const char* const kGoldenSectionList =
    "yФармГруппа\r\nyПроизводители\r\nnСинонимы\r\nyСостав\r\nyПоказания к применению\r\n"
    "yНеизвестный раздел\r\nyсостав\r\nyФармакологическое действие\r\nyПередозировка\r\n"
    "yВзаимодействие\r\nyСпособ применения и дозы\r\nyУсловия хранения\r\n"
    "yМеждународное непатентованное наименование\r\nyЛекарственные формы\r\n"
    "yПобочное действие\r\nyПротивопоказания\r\nnОсобые указания\r\n";

class DescribedReference : public FixtureReference {
  public:
    // `texts`: column (n1..n16, n11 as its unscrambled id list) -> text; n12 is stored plain.
    void AddDescribed(int id, const std::string& name, const std::string& synonim,
                      const std::map<std::string, std::string>& texts) {
        Add({{id, name, synonim}});
        Database db(path());
        for (const auto& [column, text] : texts) {
            Statement st = db.Prepare("update b set " + column + " = ? where id = ?");
            if (column == "n12") {
                st.Bind(1, text);
            } else {
                st.Bind(1, Blob{ScrambleForStorage(text)});
            }
            st.Bind(2, std::int64_t{id});
            st.Step();
        }
    }
    // The example preparation with its group (7) and manufacturers (12, 34; 56 is not listed).
    void AddNoShpa() {
        AddDescribed(42, "Но-шпа", "Дротаверин, Спазмол", kNoShpaTexts);
        AddGroup(7, "Спазмолитики");
        AddManufacturer(12, "Хиноин");
        AddManufacturer(34, "Санофи-Авентис");
        AddManufacturer(56, "Не тот");
    }
    void AddGroup(int id, const std::string& name) {
        Database db(path());
        Statement st = db.Prepare("insert into g (id, pname) values (?, ?)");
        st.Bind(1, std::int64_t{id});
        st.Bind(2, name);
        st.Step();
    }
    void AddManufacturer(int id, const std::string& name) {
        Database db(path());
        Statement st = db.Prepare("insert into i (id, pname) values (?, ?)");
        st.Bind(1, std::int64_t{id});
        st.Bind(2, Blob{ScrambleForStorage(name)});
        st.Step();
    }
};

}  // namespace orv::test
