#include <gtest/gtest.h>

#include "support/packet_builder.h"
#include "update/packet_generator.h"
#include "update/packet_source.h"
#include "util/error.h"
#include "util/text.h"

using namespace orv;

namespace {
std::string Fields(const std::string& line) {
    std::string s = Cp1251ToUtf8(line);
    for (char& c : s) {
        if (c == kFieldSeparator)
            c = '|';
    }
    return s;
}

std::string Message(const std::string& json) {
    try {
        PacketFromSource(json, "src.json");
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}
}  // namespace

TEST(PacketSource, FieldsGoToTheirPositions) {
    PacketContent c = PacketFromSource(R"({
      "packet": 3,
      "note": "ignored",
      "preparations": [
        {"id": 7, "cmd": 1, "name": "Аспирин", "synonim": "Ацетилсалициловая кислота", "n2": ["Строка 1", "Строка 2"],
         "n11": [1, 12], "n12": 4, "g": -4},
        {"id": 8, "delete": true},
        {"id": 9, "fields": ["0", "Странная", "строка"]}
      ],
      "manufacturers": [{"id": 1, "name": "Север"}, {"id": 2, "name": "Юг", "extra": "x"}]
    })");
    EXPECT_EQ(c.number, 3);
    ASSERT_EQ(c.preparations.size(), 3u);
    EXPECT_EQ(Fields(c.preparations[0]),
              "7|1|Аспирин|Ацетилсалициловая кислота|~|~|Строка 1<br>Строка "
              "2|~|~|~|~|~|~|~|~|[1],[12]|4|~|~|~|~|-4");
    EXPECT_EQ(Fields(c.preparations[1]), "8");
    EXPECT_EQ(Fields(c.preparations[2]), "9|0|Странная|строка");
    EXPECT_EQ(Fields(c.manufacturers[0]), "1|Север|");
    EXPECT_EQ(Fields(c.manufacturers[1]), "2|Юг|x");
    EXPECT_EQ(c.groups, std::vector<std::string>{""});  // an empty section is one empty line

    // Unpacking gives a source that packs to the same text.
    PacketContent again = PacketFromSource(PacketToSource(c));
    EXPECT_EQ(BuildPacketText(again), BuildPacketText(c));
}

TEST(PacketSource, FaultsNameTheirPlace) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"{", "src.json: ошибка разбора JSON"},
        {R"({"preparations": []})",
         "src.json: поле packet должно быть номером пакета (целое число от 1)"},
        {R"({"packet": 0})", "src.json: поле packet должно быть номером пакета"},
        {R"({"packet": 1, "extra": 1})", "src.json: неизвестное поле «extra»"},
        {R"({"packet": 1, "preparations": [{"name": "x"}]})",
         "src.json: препараты[0]: нет поля id"},
        {R"({"packet": 1, "preparations": [{"id": 5, "nmae": "x"}]})",
         "src.json: препарат id=5: неизвестное поле «nmae»"},
        {R"({"packet": 1, "preparations": [{"id": 5, "name": "日本"}]})",
         "src.json: препарат id=5, поле name: текст содержит символы вне кодировки windows-1251"},
        {R"({"packet": 1, "preparations": [{"id": 5, "n3": "a\u0002b"}]})",
         "src.json: препарат id=5, поле n3: текст содержит управляющие символы 0x01-0x03"},
        {R"({"packet": 2, "preparations": [{"id": 5, "g": -1}]})",
         "src.json: препарат id=5: в пакете 2 у препаратов нет поля g"},
        {R"({"packet": 1, "preparations": [{"id": 5, "n11": ["a"]}]})",
         "src.json: препарат id=5, поле n11: список производителей должен состоять из чисел"},
        {R"({"packet": 1, "preparations": [{"id": 5, "delete": true, "name": "x"}]})",
         "src.json: препарат id=5: удаляющая строка содержит только id и delete"},
        {R"({"packet": 4, "groups": [{"id": 1}]})", "src.json: группа id=1: нет поля name"},
        {R"({"packet": 4, "groups": [{"id": 1, "name": "a", "extra": ""}]})",
         "src.json: группа id=1: поле extra бывает только в пакетах 1-3"},
    };
    for (const auto& [json, message] : cases) {
        EXPECT_EQ(Message(json).rfind(message, 0), 0u) << json << "\n -> " << Message(json);
    }
}

TEST(PacketGenerator, IsDeterministicAndWellFormed) {
    GeneratorOptions o;
    o.preparations = 300;
    o.seed = 5;
    const std::string a = BuildPacketText(GeneratePacket(o));
    EXPECT_EQ(BuildPacketText(GeneratePacket(o)), a);
    o.seed = 6;
    EXPECT_NE(BuildPacketText(GeneratePacket(o)), a);

    PacketContent c = ParsePacketText(a);
    EXPECT_EQ(c.number, 1);
    ASSERT_EQ(c.preparations.size(), 300u);
    EXPECT_EQ(c.groups.size(), static_cast<size_t>(GeneratedGroupCount(300)));
    EXPECT_EQ(c.manufacturers.size(), static_cast<size_t>(GeneratedManufacturerCount(300)));
    size_t withSynonyms = 0;
    for (const auto& line : c.preparations) {
        auto f = SplitText(line, std::string(1, kFieldSeparator));
        ASSERT_EQ(f.size(), 22u);
        EXPECT_GT(line.size(), 1500u);
        withSynonyms += !f[3].empty();
    }
    EXPECT_GT(withSynonyms, 30u);
    // Text in windows-1251 only: UTF-8 bytes taken for it would show as 0x80-0xBF bytes that
    // Russian text uses only for a few signs (« » – — ° ё Ё №).
    const std::string allowed = "\xAB\xBB\x96\x97\xB0\xB8\xA8\xB9";
    size_t stray = 0;
    for (unsigned char ch : a)
        stray +=
            ch >= 0x80 && ch <= 0xBF && allowed.find(static_cast<char>(ch)) == std::string::npos;
    EXPECT_EQ(stray, 0u);

    o.packet = 2;  // packet 2 lines carry no group field
    PacketContent p2 = ParsePacketText(BuildPacketText(GeneratePacket(o)));
    EXPECT_EQ(SplitText(p2.preparations[0], std::string(1, kFieldSeparator)).size(), 21u);
}

// A text short enough to live inside its string object moves with it: the sections must
// still read the moved text, not the object it came from.
TEST(PacketView, SectionsSurviveAMoveOfAShortText) {
    const std::string text = std::string("3") + kSectionSeparator + "a" + kLineSeparator + "b" +
                             kSectionSeparator + "m" + kSectionSeparator + "g";
    ASSERT_LT(text.size(), 15u);
    std::vector<PacketText> moved;
    moved.push_back(ParsePacketView(text));
    moved.reserve(8);  // moves the element
    const PacketText& p = moved.front();
    EXPECT_EQ(p.number, 3);
    EXPECT_EQ(p.Section(0), std::string("a") + kLineSeparator + "b");
    EXPECT_EQ(p.Section(1), "m");
    EXPECT_EQ(p.Section(2), "g");
}
