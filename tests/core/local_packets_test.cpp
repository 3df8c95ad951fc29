#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/reference.h"
#include "support/fixture_reference.h"
#include "support/packet_builder.h"
#include "update/local_packets.h"
#include "update/packet_source.h"

using namespace orv;
using orv::test::FixtureReference;
using orv::test::PrepLine;
using orv::test::WritePacket;

TEST(LocalPackets, DueFilesStopAtTheFirstGapAndNeedANewerPacket) {
    orv::test::TempDir dir;
    for (int n : {4, 6})
        std::ofstream(dir.file(std::to_string(n) + ".pckt")) << "x";
    EXPECT_EQ(DuePacketFiles(dir.str(), 3, 6), std::vector<std::string>{dir.file("4.pckt")});
    EXPECT_TRUE(DuePacketFiles(dir.str(), 3, 0).empty());  // no newest number known
    EXPECT_TRUE(DuePacketFiles(dir.str(), 6, 6).empty());
    EXPECT_TRUE(DuePacketFiles(dir.str(), 4, 6).empty());  // 5 is missing
    EXPECT_EQ(DuePacketsQuestionCaption(dir.file("7.pckt")), "Пакет обновления 7.pckt");
}

TEST(LocalPackets, StatisticsCountThePreparationsEachPacketChangedLast) {
    FixtureReference fx;
    Reference ref(fx.dir.str());
    EXPECT_TRUE(CollectPacketStatistics(ref).rows.empty());

    auto apply = [&](int n, const std::vector<std::string>& preps) {
        WritePacket(fx.dir.file("p.pckt"), n, preps);
        auto run = ApplyPacket(ref, fx.dir.file("p.pckt"));
        while (run->Running())
            run->Tick();
    };
    apply(1, {PrepLine(1, "А"), PrepLine(2, "Б"), PrepLine(3, "В")});
    apply(2, {PrepLine(1, "А2", {}, true), PrepLine(2, "Б2", {}, true)});
    apply(3, {"3"});
    PacketHistory h = CollectPacketStatistics(ref);
    ASSERT_EQ(h.rows.size(), 3u);
    EXPECT_EQ(h.rows[0].preparations, 0);  // both of its rows were changed again or deleted
    EXPECT_EQ(h.rows[1].preparations, 2);
    EXPECT_EQ(h.rows[2].preparations, 0);  // it only deleted
    EXPECT_EQ(h.upd.lastInstalled, 3);
    EXPECT_EQ(h.upd.packets[1].text, "2 (" + h.rows[1].dtText + ")");
    EXPECT_EQ(PacketListSql(2), "select * from b where status=2");
    EXPECT_EQ(ShowPacketQuestion(2), "Показать пакет обновления №2?");
    EXPECT_EQ(TotalRecordsText(2), "В базе 2 записей.");
}

// The demo sources pack and apply in order into a browsable reference.
TEST(DemoReference, SourcesBuildAReference) {
    FixtureReference fx;
    Reference ref(fx.dir.str());
    std::vector<std::string> sources;
    for (const auto& e :
         std::filesystem::directory_iterator(std::string(ORVANTA_SOURCE_DIR) + "/data/demo")) {
        if (e.path().extension() == ".json")
            sources.push_back(e.path().string());
    }
    std::sort(sources.begin(), sources.end());
    ASSERT_GE(sources.size(), 3u);
    for (const auto& s : sources) {
        PackFile(s, fx.dir.file("p.pckt"));
        auto run = ApplyPacket(ref, fx.dir.file("p.pckt"));
        while (run->Running())
            run->Tick();
        EXPECT_EQ(run->CurrentState(), PacketRun::State::Completed) << s;
    }
    Statement st = ref.Db().Prepare(
        "select (select count(*) from b), (select count(*) from g where pname<>'Deleted'), (select "
        "count(*) from i),"
        " (select count(*) from b where synonim<>''), (select count(*) from b where n7 is null or "
        "g is null)");
    ASSERT_TRUE(st.Step());
    EXPECT_GE(st.ColumnInt(0), 38);
    EXPECT_GE(st.ColumnInt(1), 10);
    EXPECT_GE(st.ColumnInt(2), 10);
    EXPECT_GE(st.ColumnInt(3), 6);
    EXPECT_EQ(st.ColumnInt(4), 0);
    EXPECT_EQ(CollectPacketStatistics(ref).upd.lastInstalled, static_cast<int>(sources.size()));
}
