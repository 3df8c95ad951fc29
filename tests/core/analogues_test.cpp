#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "db/inn_keys.h"
#include "db/reference.h"
#include "search/analogues.h"
#include "support/fixture_reference.h"
#include "support/packet_builder.h"
#include "support/run_command.h"
#include "update/packet_engine.h"
#include "update/packet_source.h"
#include "util/text.h"

using namespace orv;
using orv::test::FixtureReference;
using orv::test::PrepLine;
using orv::test::WritePacket;

namespace {

constexpr int kInnField = 18;

void RunPacket(Reference& ref, const std::string& path) {
    auto run = ApplyPacket(ref, path);
    while (run->Running())
        run->Tick();
    ASSERT_EQ(run->CurrentState(), PacketRun::State::Completed) << path;
}

std::vector<std::string> DemoSources() {
    std::vector<std::string> sources;
    for (const auto& e :
         std::filesystem::directory_iterator(std::string(ORVANTA_SOURCE_DIR) + "/data/demo")) {
        if (e.path().extension() == ".json")
            sources.push_back(e.path().string());
    }
    std::sort(sources.begin(), sources.end());
    return sources;
}

// The list as "name" lines, the current row marked with "*".
std::string ListText(Reference& ref) {
    DataSet& list = ref.qMain;
    const int current = list.RecNo();
    std::string out;
    for (int row = 0; row < list.RecordCount(); ++row)
        out += (row == current ? "*" : "") + list.TextAt(row, ref.NameColumn()) + "\n";
    return out;
}

std::string Analogues(Reference& ref, int id, std::string* status = nullptr) {
    ref.qMain.SetSql(ref.InitialListSql());
    ref.qMain.Open();
    EXPECT_TRUE(ref.qMain.Locate("id", std::int64_t{id}));
    const CommandResult r = FilterTableAnalogues(ref, ref.qMain);
    if (status)
        *status = r.status.value_or("");
    return r.listChanged ? ListText(ref) : "(unchanged)";
}

std::string Key(Reference& ref, int id) {
    return InnKeyOf(ref.Db(), id);
}

}  // namespace

TEST(Analogues, DemoReferenceJoinsTheSameSubstanceOnly) {
    FixtureReference fx;
    Reference ref(fx.dir.str());
    const auto sources = DemoSources();
    ASSERT_GE(sources.size(), 3u);
    // Packets 1 and 2: papaverine is still there (packet 3 deletes it).
    for (size_t i = 0; i < 2; ++i) {
        PackFile(sources[i], fx.dir.file("p.pckt"));
        RunPacket(ref, fx.dir.file("p.pckt"));
    }
    std::string status;
    EXPECT_EQ(Analogues(ref, 7, &status), "Ибупрофен\nМИГ 400\n*Нурофен\n");
    EXPECT_EQ(status, "Аналоги по МНН «Ибупрофен»: 3");
    EXPECT_EQ(Analogues(ref, 20), "Дротаверин\n*Но-шпа\nСпазмол\n");
    EXPECT_EQ(Analogues(ref, 23), "*Папаверин\n");
    EXPECT_EQ(Analogues(ref, 5, &status), "*Анальгин\n");
    EXPECT_EQ(status, "Аналоги по МНН «Метамизол натрия»: 1");
    // Aspirin and Thrombo ASS; the list statement names only the preparation.
    EXPECT_EQ(Analogues(ref, 38), "Аспирин\n*Тромбо АСС\n");
    EXPECT_EQ(ref.qMain.Sql(), AnaloguesSql(38, "pname"));

    for (size_t i = 2; i < sources.size(); ++i) {
        PackFile(sources[i], fx.dir.file("p.pckt"));
        RunPacket(ref, fx.dir.file("p.pckt"));
    }
    EXPECT_EQ(Key(ref, 23), "");  // deleted with its row
    EXPECT_EQ(Key(ref, 41), "метформин");
}

TEST(Analogues, KeysFollowPacketsThatChangeAddAndDelete) {
    FixtureReference fx;
    Reference ref(fx.dir.str());
    const std::string path = fx.dir.file("p.pckt");
    WritePacket(path, 1,
                {PrepLine(1, "Нурофен", {{kInnField, "Ибупрофен"}}),
                 PrepLine(2, "МИГ 400", {{kInnField, "<b>ибупрофен</b>"}}),
                 PrepLine(3, "Панадол", {{kInnField, "Парацетамол"}}),
                 PrepLine(4, "Без МНН", {{kInnField, ""}})});
    RunPacket(ref, path);
    EXPECT_EQ(Key(ref, 1), "ибупрофен");
    EXPECT_EQ(Key(ref, 2), "ибупрофен");
    EXPECT_EQ(Key(ref, 4), "");

    // 1 changes its substance, 2 keeps its INN ("~"), 3 goes, 5 comes.
    WritePacket(path, 2,
                {PrepLine(1, "Нурофен", {{kInnField, "Парацетамол"}}, true),
                 PrepLine(2, "МИГ 400", {{kInnField, "~"}}, true), "3",
                 PrepLine(5, "Эффералган", {{kInnField, "Парацетамол"}}, true)});
    RunPacket(ref, path);
    EXPECT_EQ(Key(ref, 1), "парацетамол");
    EXPECT_EQ(Key(ref, 2), "ибупрофен");
    EXPECT_EQ(Key(ref, 3), "");
    EXPECT_EQ(Analogues(ref, 5), "Нурофен\n*Эффералган\n");

    // A line the row rule leaves alone leaves the key alone too.
    ref.Db().Exec("update b set status=9 where id=5");
    WritePacket(path, 3, {PrepLine(5, "Эффералган", {{kInnField, "Ибупрофен"}})});
    RunPacket(ref, path);
    EXPECT_EQ(Key(ref, 5), "парацетамол");

    std::string status;
    EXPECT_EQ(Analogues(ref, 4, &status), "(unchanged)");
    EXPECT_EQ(status, "Аналоги по МНН: у препарата «Без МНН» не указано МНН");
    EXPECT_EQ(ref.qMain.Sql(), ref.InitialListSql());
    WritePacket(path, 4, {PrepLine(4, "Без МНН", {{kInnField, "натрия"}})});
    RunPacket(ref, path);
    EXPECT_EQ(Analogues(ref, 4, &status), "(unchanged)");
    EXPECT_EQ(status, "Аналоги по МНН: «натрия» не называет действующего вещества");
}

TEST(Analogues, TheUpgradeKeysAnOlderDatabase) {
    FixtureReference fx;
    {
        Reference ref(fx.dir.str());
        WritePacket(fx.dir.file("1.pckt"), 1,
                    {PrepLine(1, "Но-шпа", {{kInnField, "Дротаверина гидрохлорид"}}),
                     PrepLine(2, "Спазмол", {{kInnField, "Дротаверин"}}),
                     PrepLine(3, "Папаверин", {{kInnField, "Папаверина гидрохлорид"}})});
        RunPacket(ref, fx.dir.file("1.pckt"));
        ref.Db().Exec("drop table inn");
    }
    Reference ref(fx.dir.str());
    InitUpd(ref);  // the start-up step that runs the upgrade
    EXPECT_EQ(Key(ref, 1), "дротаверин");
    EXPECT_EQ(Key(ref, 3), "папаверин");
    EXPECT_EQ(Analogues(ref, 2), "Но-шпа\n*Спазмол\n");
    EXPECT_EQ(Analogues(ref, 3), "*Папаверин\n");
    const AnalogueList others = AnaloguesOf(ref.Db(), 1, "pname", 10);
    ASSERT_EQ(others.items.size(), 1u);
    EXPECT_EQ(others.items[0].name, "Спазмол");
    EXPECT_EQ(others.total, 1);
}

TEST(Analogues, CommandLine) {
    FixtureReference fx;
    {
        Reference ref(fx.dir.str());
        WritePacket(fx.dir.file("1.pckt"), 1,
                    {PrepLine(1, "Нурофен", {{kInnField, "Ибупрофен"}}),
                     PrepLine(2, "МИГ 400", {{kInnField, "Ибупрофен"}}),
                     PrepLine(3, "Панадол", {{kInnField, ""}})});
        RunPacket(ref, fx.dir.file("1.pckt"));
    }
    auto cli = [&](const std::string& id) {
        return orv::test::RunCommand(
            orv::test::CliCommandLine({"search", "--dir", fx.dir.str(), "--analogues-of", id}));
    };
    auto r = cli("2");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "* МИГ 400\n  Нурофен\n");
    EXPECT_EQ(r.err, "Аналоги по МНН «Ибупрофен»: 2\n");
    r = cli("3");
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Аналоги по МНН: у препарата «Панадол» не указано МНН\n");
    r = cli("99");
    EXPECT_EQ(r.code, 1);
}
