#include <gtest/gtest.h>

#include "util/inn_key.h"

using namespace orv;

TEST(InnKey, NormalisationTable) {
    struct Case {
        const char* inn;
        const char* key;
    };
    const Case cases[] = {
        {"Ибупрофен", "ибупрофен"},
        {"  ИБУПРОФЕН ", "ибупрофен"},
        {"<b>Ибупрофен</b><br>", "ибупрофен"},
        {"Метамизол   натрия", "метамизол"},
        {"Диклофенак калия", "диклофенак"},
        {"Папаверина гидрохлорид", "папаверин"},
        {"Ипратропия бромид", "ипратропий"},
        {"Бензилпенициллина натриевая соль", "бензилпенициллин"},
        {"Амоксициллин (тригидрат)", "амоксициллин"},
        {"Ацетилсалициловая кислота", "ацетилсалициловая кислота"},
        {"Тиоктовая кислота; натрия", "тиоктовая кислота"},
        // the salt is the substance: it is kept, and the cation tells them apart
        {"Натрия хлорид", "натрия хлорид"},
        {"Калия хлорид", "калия хлорид"},
        {"Алгелдрат + магния гидроксид", "алгелдрат + магния гидроксид"},
        // combinations in any order and spelling
        {"Парацетамол+Кофеин", "кофеин + парацетамол"},
        {"кофеин, парацетамол", "кофеин + парацетамол"},
        {"Альфа-токоферол", "альфа-токоферол"},
        {"Ёлочный – экстракт", "елочный экстракт"},
        {"Витамин С (аскорбиновая кислота)*", "витамин с аскорбиновая кислота"},
        // names of no substance
        {"", ""},
        {"   <br> ", ""},
        {"калия", ""},
        {"<i>Натрия</i>", ""},
        {"- + ,", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InnKey(c.inn), c.key) << c.inn;
}

TEST(InnKey, DistinctSubstancesStayApart) {
    EXPECT_NE(InnKey("Папаверин"), InnKey("Дротаверин"));
    EXPECT_NE(InnKey("Папаверина гидрохлорид"), InnKey("Дротаверина гидрохлорид"));
    EXPECT_EQ(InnKey("Дротаверина гидрохлорид"), InnKey("Дротаверин"));
    EXPECT_NE(InnKey("Натрия хлорид"), InnKey("Калия хлорид"));
    EXPECT_NE(InnKey("Парацетамол"), InnKey("Парацетамол + Кофеин"));
}

TEST(InnKey, DisplayTextIsPlainAndBounded) {
    EXPECT_EQ(InnDisplayText(" <b>Метамизол</b>   натрия<br>"), "Метамизол натрия");
    const std::string longInn(300, 'x');
    const std::string shown = InnDisplayText(longInn);
    EXPECT_EQ(shown, std::string(100, 'x') + "…");
    EXPECT_EQ(CutQuoted("ёжик", 2), "ёж…");
    EXPECT_EQ(CutQuoted("ёжик", 4), "ёжик");
}
