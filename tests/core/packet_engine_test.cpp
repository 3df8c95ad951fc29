#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "db/reference.h"
#include "support/fixture_reference.h"
#include "support/packet_builder.h"
#include "update/day_number.h"
#include "update/packet_engine.h"
#include "update/packet_generator.h"
#include "util/text.h"

using namespace orv;
using orv::test::FixtureReference;
using orv::test::PrepLine;
using orv::test::WritePacket;

namespace {

class Engine : public ::testing::Test {
  protected:
    FixtureReference fx;
    std::unique_ptr<Reference> ref = std::make_unique<Reference>(fx.dir.str());

    std::string File(const std::string& name) { return fx.dir.file(name); }

    // Applies a packet file to its end (one step per tick when `oneStep`).
    std::unique_ptr<PacketRun> RunToEnd(const std::string& path, bool oneStep = false) {
        auto run = ApplyPacket(*ref, path);
        while (run->Running())
            run->Tick(std::chrono::milliseconds(15), oneStep ? 1 : static_cast<size_t>(-1));
        return run;
    }
    void Apply(int number, const std::vector<std::string>& preps,
               const std::vector<std::string>& izg = {},
               const std::vector<std::string>& groups = {}) {
        std::string path = File(std::to_string(number) + ".pckt");
        WritePacket(path, number, preps, izg, groups);
        RunToEnd(path);
    }

    std::int64_t Int(const std::string& sql) {
        Statement st = ref->Db().Prepare(sql);
        return st.Step() ? st.ColumnInt(0) : -999;
    }
    Value Cell(const std::string& sql) {
        Statement st = ref->Db().Prepare(sql);
        return st.Step() ? st.Column(0) : Value{};
    }
    std::string Text(const std::string& sql) { return ValueToText(Cell(sql)); }
    std::string Stored(const std::string& sql) {
        Value v = Cell(sql);
        EXPECT_TRUE(std::holds_alternative<Blob>(v)) << sql;
        return std::holds_alternative<Blob>(v) ? UnscrambleFromStorage(std::get<Blob>(v).bytes)
                                               : "";
    }
    std::string Snapshot() {
        std::string s;
        for (const char* sql :
             {"select id, pname, status, md, hex(n1), g, cmd, ndx1 from b order by id",
              "select id, hex(pname), status, md from i order by id",
              "select id, pname, status, md from g order by id", "select * from packets"}) {
            Statement st = ref->Db().Prepare(sql);
            while (st.Step()) {
                for (int i = 0; i < st.ColumnCount(); ++i)
                    s += ValueToText(st.Column(i)) + "|";
                s += "\n";
            }
        }
        return s;
    }
    static std::set<std::string> Words(const std::string& bag) {
        std::set<std::string> w;
        std::istringstream in(bag);
        for (std::string x; in >> x;)
            w.insert(x);
        return w;
    }
};

std::string Message(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

// A slow machine may end a tick before the failing line, so tick until the run ends.
std::string FailureOf(PacketRun& run) {
    return Message([&] {
        while (run.Running())
            run.Tick();
    });
}

}  // namespace

TEST_F(Engine, BadFilesAreRefusedWithTheirMessagesAndChangeNothing) {
    Apply(1, {PrepLine(1, "Аспирин")});
    const std::string before = Snapshot();

    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(File(name), std::ios::binary) << bytes;
        return File(name);
    };
    auto packed = [&](const std::string& name, const std::string& text) {
        WritePacketFile(File(name), text);
        return File(name);
    };
    std::string whole;
    {
        WritePacket(File("2.pckt"), 2, {PrepLine(2, "Анальгин", {}, true)});
        std::ifstream in(File("2.pckt"), std::ios::binary);
        whole.assign(std::istreambuf_iterator<char>(in), {});
    }
    struct Case {
        std::string path;
        std::string message;
    };
    const std::vector<Case> cases = {
        {File("none.pckt"), "Файл " + File("none.pckt") + " не найден!"},
        {write("random.pckt", "this is not a zlib stream at all"), "Error"},
        {write("cut.pckt", whole.substr(0, whole.size() / 2)),
         "Файл " + File("cut.pckt") +
             " повреждён: пакет обновления обрывается раньше конца данных"},
        {write("noend.pckt", whole.substr(0, whole.size() - 4)),
         "Файл " + File("noend.pckt") +
             " повреждён: пакет обновления обрывается раньше конца данных"},
        {write("empty.pckt", ""), "7 Неверная структура пакета!"},
        {packed("three.pckt", "2\x01\x01"), "7 Неверная структура пакета!"},
        {packed("five.pckt", "2\x01\x01\x01\x01"), "7 Неверная структура пакета!"},
        {packed("name.pckt", "два\x01\x01\x01"), "8 Неверная структура пакета!"},
        {packed("empty-number.pckt", "\x01\x01\x01"), "8 Неверная структура пакета!"},
        {packed("zero.pckt", "0\x01\x01\x01"), "8 Неверная структура пакета!"},
        {packed("negative.pckt", "-3\x01\x01\x01"), "8 Неверная структура пакета!"},
        {packed("order.pckt", "3\x01\x01\x01"),
         "Установка невозможна, не все предыдущие пакеты установлены"},
        {packed("again.pckt", "1\x01\x01\x01"), "Пакет №1 уже установлен"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Message([&] { ApplyPacket(*ref, c.path); }), c.message) << c.path;
        EXPECT_EQ(Snapshot(), before) << c.path;
    }
    // A stream that inflates beyond the limit is refused while it is read.
    WritePacketFile(File("big.pckt"), "1\x01" + std::string(100000, 'x') + "\x01\x01");
    EXPECT_EQ(Message([&] { ReadPacketText(File("big.pckt"), 50000); }),
              "Пакет обновления слишком велик: больше 50000 байт после распаковки");
    EXPECT_EQ(ReadPacketText(File("big.pckt"), 200000).size(), 100004u);
    // A bomb: 0.3 MB of file that would inflate to 300 MB is refused after 64 MB of counting,
    // below the absolute limit, and the check for a download says the same.
    orv::test::WriteBombPacket(File("bomb.pckt"), 1, size_t{300} << 20);
    ASSERT_LT(std::filesystem::file_size(File("bomb.pckt")), size_t{1} << 20);
    const std::string bomb =
        "при распаковке он вырастает больше чем в 50 раз, так пакеты "
        "обновления не сжимаются";
    EXPECT_EQ(Message([&] { ApplyPacket(*ref, File("bomb.pckt")); }),
              "Файл " + File("bomb.pckt") + " повреждён: " + bomb);
    EXPECT_EQ(PacketFileDamage(File("bomb.pckt"), 1), bomb);
    EXPECT_EQ(Snapshot(), before);
    // A sound packet that packs tight (one long repeated field) is no bomb below 64 MB.
    orv::test::WriteBombPacket(File("tight.pckt"), 1, size_t{8} << 20);
    EXPECT_EQ(PacketFileDamage(File("tight.pckt"), 1), "");
    // Bytes after the end of the stream are ignored.
    write("tail.pckt", whole + "garbage");
    EXPECT_EQ(RunToEnd(File("tail.pckt"))->CurrentState(), PacketRun::State::Completed);
}

TEST_F(Engine, OrderCheckCountsRecordedPacketsBelowN) {
    ref->Db().Exec("insert into packets (id, dt) values (1, 46000), (2, 46001), (4, 46002)");
    WritePacket(File("5.pckt"), 5, {});
    try {
        ApplyPacket(*ref, File("5.pckt"));
        FAIL() << "packet 5 admitted";
    } catch (const PacketRefused& e) {
        EXPECT_STREQ(e.what(), "Установка невозможна, не все предыдущие пакеты установлены");
        EXPECT_EQ(e.Info().lastInstalled, 4);
        ASSERT_EQ(e.Info().packets.size(), 3u);
        EXPECT_EQ(e.Info().packets[0].text, "1 (" + FormatDayNumber(46000) + ")");
    }
    // The number comes from the content, not from the file name.
    WritePacket(File("5.pckt"), 3, {});
    auto run = RunToEnd(File("5.pckt"));
    EXPECT_EQ(run->Number(), 3);
    EXPECT_EQ(Int("select count(*) from packets where id=3"), 1);
    EXPECT_EQ(run->Info().lastInstalled, 4);
}

TEST_F(Engine, NewRowsGetEveryColumnInItsStoredForm) {
    const double before = DayNumberNow();
    Apply(1, {PrepLine(10, "Парацетамол", {{2, "42"}, {4, "Панадол, Эффералган"}, {5, "99"}})},
          {"1|Фарм «Север»|x", "2|Био-Лек|"}, {"1|Анальгетики|", "2|Жаропонижающие|"});
    const double after = DayNumberNow();

    EXPECT_EQ(Text("select pname from b where id=10"), "Парацетамол");
    EXPECT_EQ(Text("select synonim from b where id=10"), "Панадол, Эффералган");
    EXPECT_EQ(Int("select status from b where id=10"), 1);  // field 5 is overwritten with N
    EXPECT_EQ(Int("select cmd from b where id=10"), 42);
    EXPECT_EQ(Int("select g from b where id=10"), -1);
    EXPECT_EQ(Text("select n12 from b where id=10"), "1");
    EXPECT_EQ(Stored("select n1 from b where id=10"), "текст n1");
    EXPECT_EQ(Stored("select n2 from b where id=10"), "Снижает <b>температуру</b> тела, 2 раза");
    EXPECT_EQ(Stored("select n11 from b where id=10"), "[1],[2]");
    EXPECT_EQ(Stored("select n16 from b where id=10"), "текст n16");
    EXPECT_EQ(Words(Text("select ndx1 from b where id=10")),
              (std::set<std::string>{"головная", "боль", "лихорадка"}));
    EXPECT_EQ(Words(Text("select ndx2 from b where id=10")),
              (std::set<std::string>{"снижает", "температуру", "тела", "раза"}));
    const double md = std::get<double>(Cell("select md from b where id=10"));
    EXPECT_GE(md, before - 1.0 / 86400);
    EXPECT_LE(md, after + 1.0 / 86400);

    EXPECT_EQ(Stored("select pname from i where id=1"), "Фарм «Север»");
    EXPECT_EQ(Int("select status from i where id=2"), 1);
    EXPECT_EQ(Text("select pname from g where id=2"), "Жаропонижающие");
    EXPECT_EQ(std::get<double>(Cell("select md from g where id=2")), md);
    // Recorded with the same time, written as a day number.
    EXPECT_NEAR(std::get<double>(Cell("select dt from packets where id=1")), md, 1e-9);
}

TEST_F(Engine, RowRuleAcrossPacketsTwoThreeAndFour) {
    Apply(1, {PrepLine(1, "Аспирин"), PrepLine(2, "Анальгин"), PrepLine(3, "Но-шпа")}, {"1|Север|"},
          {"1|Анальгетики|"});
    const std::string ndx1 = Text("select ndx1 from b where id=1");

    // Packet 2: 21 fields, g untouched, cmd of existing rows kept, "~" keeps the name and the
    // index words; a new row gets its cmd; delete of a missing row changes nothing.
    Apply(2,
          {PrepLine(1, "~",
                    {{2, "555"}, {10, "~"}, {7, "Новое <strong>действие</strong>&nbsp;&amp; ещё"}},
                    true),
           PrepLine(4, "~", {{2, "8"}}, true), "99", "3"},
          {"1|Север-2|z"}, {"1|Анальгетики ненаркотические|"});
    EXPECT_EQ(Text("select pname from b where id=1"), "Аспирин");
    EXPECT_EQ(Int("select cmd from b where id=1"), 7);
    EXPECT_EQ(Int("select g from b where id=1"), -1);
    EXPECT_EQ(Text("select ndx1 from b where id=1"), ndx1);
    EXPECT_EQ(Words(Text("select ndx2 from b where id=1")),
              (std::set<std::string>{"новое", "действие", "ещё"}));  // no tag or entity names
    EXPECT_EQ(Int("select status from b where id=1"), 2);
    EXPECT_TRUE(IsNull(Cell("select pname from b where id=4")));  // "~" on a new row: unset
    EXPECT_TRUE(IsNull(Cell("select g from b where id=4")));
    EXPECT_EQ(Int("select cmd from b where id=4"), 8);
    EXPECT_EQ(Int("select count(*) from b where id=3"), 0);
    EXPECT_EQ(Stored("select pname from i where id=1"), "Север-2");

    // Packet 3: manufacturers and groups still need 3 fields.
    WritePacket(File("3.pckt"), 3, {}, {"1|Два поля"});
    auto run3 = ApplyPacket(*ref, File("3.pckt"));
    EXPECT_EQ(FailureOf(*run3), "4 Неверная структура пакета (2)");
    EXPECT_EQ(Message([&] { Apply(3, {}, {}, {"1|Два поля"}); }),
              "6 Неверная структура пакета (2)");
    Apply(3, {PrepLine(2, "Анальгин-3", {{22, ""}})}, {"1|~|"});
    EXPECT_TRUE(IsNull(Cell("select g from b where id=2")));   // an empty group clears it
    EXPECT_EQ(Stored("select pname from i where id=1"), "~");  // no "~" marker in these lines

    // Packet 4: exactly 2 fields; a preparation line needs 22.
    EXPECT_EQ(Message([&] { Apply(4, {}, {"1|Три|поля"}); }), "4 Неверная структура пакета (3)");
    EXPECT_EQ(Message([&] { Apply(4, {PrepLine(5, "Двадцать один", {}, true)}); }),
              "2 Неверная структура пакета (21)");
    EXPECT_EQ(Message([&] { Apply(4, {PrepLine(5, "x") + "|лишнее"}); }),
              "2 Неверная структура пакета (23)");
    Apply(4, {}, {"1|Север-4"}, {"1|Группа-4"});
    EXPECT_EQ(Text("select pname from g where id=1"), "Группа-4");
}

TEST_F(Engine, RowsOfTheSameOrANewerPacketAreLeftAloneButDeleted) {
    Apply(1, {PrepLine(1, "Аспирин"), PrepLine(2, "Анальгин")});
    ref->Db().Exec("update b set status=5, md=1.5 where id=1");
    ref->Db().Exec("update b set status=null where id=2");
    Apply(2, {PrepLine(1, "Новое имя", {}, true), PrepLine(2, "Анальгин-2", {}, true)});
    EXPECT_EQ(Text("select pname from b where id=1"), "Аспирин");
    EXPECT_EQ(std::get<double>(Cell("select md from b where id=1")), 1.5);
    EXPECT_EQ(Text("select pname from b where id=2"), "Анальгин-2");  // an empty status counts as 0
    Apply(3, {"1"});
    EXPECT_EQ(Int("select count(*) from b where id=1"), 0);
}

TEST_F(Engine, ProgressFollowsThePreparationsSection) {
    WritePacket(File("1.pckt"), 1,
                {PrepLine(1, "А"), PrepLine(2, "Б"), PrepLine(3, "В"), PrepLine(4, "Г")}, {"1|И|"},
                {"1|Г|", "2|Д|"});
    auto run = ApplyPacket(*ref, File("1.pckt"));
    EXPECT_EQ(run->Progress().caption, "Подгрузка пакета №1");
    // A tick that checkpoints the log applies nothing and repeats the progress it found; so
    // does the last tick, which records the packet.
    std::vector<std::string> seen;
    while (run->Running()) {
        const std::string text = run->Tick(std::chrono::seconds(1), 1).progressText;
        if (seen.empty() || seen.back() != text)
            seen.push_back(text);
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{"Готово 0%", "Готово 25%", "Готово 50%", "Готово 75%"}));
    EXPECT_EQ(run->CurrentState(), PacketRun::State::Completed);
    EXPECT_EQ(run->TotalPreparations(), 4);

    // Empty sections complete on the first tick at 0 % and are recorded; an empty last line
    // (a section ending in 0x02) is skipped but counted.
    WritePacketFile(File("2.pckt"), "2\x01\x01\x01");
    auto empty = ApplyPacket(*ref, File("2.pckt"));
    EXPECT_EQ(empty->Tick(std::chrono::seconds(1), 1).progressText, "Готово 0%");
    WritePacketFile(File("3.pckt"),
                    "3\x01" + orv::test::PacketLine(PrepLine(9, "Я")) + "\x02\x01\x01");
    auto trailing = ApplyPacket(*ref, File("3.pckt"));
    EXPECT_EQ(trailing->Progress().stepsTotal, 2u);
    while (trailing->Running())
        trailing->Tick();
    EXPECT_EQ(Int("select count(*) from packets"), 3);
    EXPECT_EQ(Int("select count(*) from b"), 5);
}

TEST_F(Engine, StopLeavesWrittenRowsAndARerunCompletesThePacket) {
    WritePacket(File("1.pckt"), 1, {PrepLine(1, "А"), PrepLine(2, "Б"), PrepLine(3, "В"), "2"},
                {"1|И|"});
    const auto cacheAndMap = [&] {
        return std::to_string(Int("pragma cache_size")) + " " +
               std::to_string(Int("pragma mmap_size"));
    };
    const std::string searching = cacheAndMap();
    auto run = ApplyPacket(*ref, File("1.pckt"));
    // Beside the packet text a run keeps a small fixed cache and maps no file pages.
    EXPECT_EQ(cacheAndMap(), "-32768 0");
    run->Tick(std::chrono::seconds(1), 1);
    run->Tick(std::chrono::seconds(1), 1);
    run->Stop();
    EXPECT_EQ(cacheAndMap(), searching);
    EXPECT_EQ(run->CurrentState(), PacketRun::State::Stopped);
    EXPECT_EQ(Int("select count(*) from b"), 2);
    EXPECT_EQ(Int("select count(*) from packets"), 0);
    EXPECT_EQ(run->Info().lastInstalled, 0);
    ref->Db().Exec("update b set pname='изменено' where id=1");  // rows already written are skipped
    auto again = RunToEnd(File("1.pckt"));
    EXPECT_EQ(again->CurrentState(), PacketRun::State::Completed);
    EXPECT_EQ(cacheAndMap(), searching);
    EXPECT_EQ(Text("select group_concat(pname, ',') from (select pname from b order by id)"),
              "изменено,В");
    EXPECT_EQ(again->Info().lastInstalled, 1);
}

TEST_F(Engine, AFailingFirstLineWritesNothingAndAHugeLineIsRefusedShortly) {
    Apply(1, {});
    Apply(2, {});  // packet 2 would not read the group field
    const std::string huge(20 * 1024 * 1024, '7');
    WritePacket(File("3.pckt"), 3,
                {PrepLine(5, "Огромная группа", {{22, huge + "x"}}), PrepLine(6, "После")});
    auto run = ApplyPacket(*ref, File("3.pckt"));
    const std::string message = FailureOf(*run);
    EXPECT_LT(message.size(), 300u);
    // A line this long is refused before its fields are read, so nothing of it is quoted.
    EXPECT_NE(message.find("длиннее 4 МБ"), std::string::npos) << message;
    EXPECT_EQ(run->FailedLine(), 1u);
    EXPECT_EQ(run->RowsWritten(), 0u);
    EXPECT_EQ(Int("select count(*) from b"), 0);
}

TEST_F(Engine, AFailingLineEndsTheRunAndKeepsTheRowsBeforeIt) {
    struct Case {
        std::string badLine;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"абв|0|Имя", "«абв» не является целым числом"},
        {PrepLine(5, "Плохая группа", {{22, "-7a"}}), "«-7a» не является целым числом"},
        {PrepLine(5, "Плохой статус", {{5, "новый"}}), "«новый» не является целым числом"},
        {PrepLine(5, "Плохой cmd", {{2, "?"}}), "«?» не является целым числом"},
        {"5|7|Мало|полей|0", "2 Неверная структура пакета (5)"},
    };
    Apply(1, {});
    Apply(2, {});  // packet 2 would not read the group field
    int packet = 2;
    for (const auto& c : cases) {
        ++packet;
        const std::string extra = packet < 4 ? "|" : "";
        WritePacket(
            File("p.pckt"), packet,
            {PrepLine(100 + packet, "До"), c.badLine, PrepLine(200 + packet, "После")},
            {std::to_string(packet) + "|И" + extra, std::to_string(100 + packet) + "|И2" + extra});
        auto run = ApplyPacket(*ref, File("p.pckt"));
        EXPECT_EQ(FailureOf(*run), c.message) << c.badLine;
        EXPECT_EQ(run->CurrentState(), PacketRun::State::Failed);
        EXPECT_EQ(run->FailedSection(), "препараты");
        EXPECT_EQ(run->FailedLine(), 2u);
        EXPECT_EQ(run->RowsWritten(), 2u);  // the first preparation and the first manufacturer
        EXPECT_EQ(Int("select count(*) from b where id=" + std::to_string(100 + packet)), 1);
        EXPECT_EQ(Int("select count(*) from i where id=" + std::to_string(packet)), 1);
        // The rest of the failing step is not applied.
        EXPECT_EQ(Int("select count(*) from i where id=" + std::to_string(100 + packet)), 0);
        EXPECT_EQ(Int("select count(*) from b where id=" + std::to_string(200 + packet)), 0);
        EXPECT_EQ(Int("select count(*) from packets where id=" + std::to_string(packet)), 0);
        // The corrected packet under the same number then goes in.
        WritePacket(File("p.pckt"), packet,
                    {PrepLine(100 + packet, "До"), PrepLine(200 + packet, "После")});
        EXPECT_EQ(RunToEnd(File("p.pckt"))->CurrentState(), PacketRun::State::Completed);
    }
}

TEST_F(Engine, LinesFindRowsInTheTableWhateverTheListShows) {
    Apply(1, {PrepLine(1, "Аспирин"), PrepLine(2, "Анальгин"), PrepLine(3, "Но-шпа")});
    ref->qMain.SetSql("select * from b where id=2");
    ref->qMain.Open();
    WritePacket(File("2.pckt"), 2,
                {PrepLine(1, "Аспирин-2", {}, true), PrepLine(3, "Но-шпа-2", {}, true)});
    auto run = RunToEnd(File("2.pckt"));
    EXPECT_EQ(Int("select count(*) from b"), 3);
    EXPECT_EQ(Text("select pname from b where id=3"), "Но-шпа-2");
    // Completion reopens the whole list in name order on the preparation that was current.
    EXPECT_EQ(ref->qMain.Sql(), ref->InitialListSql());
    EXPECT_EQ(ref->qMain.RecordCount(), 3);
    EXPECT_EQ(ref->qMain.AsInteger("id"), 2);
    EXPECT_EQ(run->TotalPreparations(), 3);

    // A stop gives the list back its own statement.
    ref->qMain.SetSql("select * from b where id>1");
    ref->qMain.Open();
    ref->qMain.Locate("id", std::int64_t{3});
    WritePacket(File("3.pckt"), 3, {PrepLine(1, "А"), PrepLine(2, "Б")});
    auto stopped = ApplyPacket(*ref, File("3.pckt"));
    stopped->Tick(std::chrono::seconds(1), 1);
    stopped->Stop();
    EXPECT_EQ(ref->qMain.Sql(), "select * from b where id>1");
    EXPECT_EQ(ref->qMain.AsInteger("id"), 3);
}

TEST(EngineLegacy, AnOlderDatabaseIsUpgradedBeforeTheChecks) {
    FixtureReference fx(/*legacy=*/true);
    Reference ref(fx.dir.str());
    WritePacket(fx.dir.file("1.pckt"), 1, {PrepLine(1, "Аспирин")}, {"1|Север|"}, {"1|Группа|"});
    auto run = ApplyPacket(ref, fx.dir.file("1.pckt"));
    while (run->Running())
        run->Tick();
    EXPECT_EQ(run->Info().lastInstalled, 1);
    Statement st = ref.Db().Prepare("select status from g where id=1");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColumnInt(0), 1);
}

TEST(DayNumber, SqlTextAndDisplay) {
    EXPECT_EQ(DayNumberSqlText(46000.5), "46000.5");
    EXPECT_EQ(DayNumberSqlText(45000.123456789012345), "45000.123456789");
    EXPECT_EQ(FormatDayNumber(2.0), "01.01.1900");
    EXPECT_EQ(FormatDayNumber(46000.25), "09.12.2025 6:00:00");
    EXPECT_EQ(FormatDayNumber(25569.0 + 0.5 + 5.0 / 86400), "01.01.1970 12:00:05");
}

TEST(EngineLarge, AGeneratedPacketRunsInTicksWithLogCheckpoints) {
    FixtureReference fx;
    Reference ref(fx.dir.str());
    GeneratorOptions o;
    o.preparations = 1500;
    WritePacketFile(fx.dir.file("1.pckt"), BuildPacketText(GeneratePacket(o)));
    auto run = ApplyPacket(ref, fx.dir.file("1.pckt"));
    int ticks = 0;
    std::uintmax_t longestLog = 0;
    while (run->Running()) {
        run->Tick(std::chrono::milliseconds(5));
        ++ticks;
        std::error_code ec;
        longestLog =
            std::max(longestLog, std::filesystem::file_size(fx.dir.file("source.bin-wal"), ec));
    }
    EXPECT_EQ(run->CurrentState(), PacketRun::State::Completed);
    EXPECT_GT(ticks, 3);
    EXPECT_GT(run->LongestCheckpoint().count(), 0);  // the log was copied back during the run
    // The run writes several times this much to the log: it must have started over, although
    // checkpoints ran beside the commits.
    EXPECT_GT(longestLog, 0u);
    EXPECT_LT(longestLog, 40u << 20);
    EXPECT_EQ(run->TotalPreparations(), 1500);
    Statement st = ref.Db().Prepare(
        "select count(*), sum(status=1), count(distinct g) from b where ndx1<>'' and ndx2<>''");
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.ColumnInt(0), 1500);
    EXPECT_EQ(st.ColumnInt(1), 1500);
    EXPECT_GT(st.ColumnInt(2), 5);
}
