// The packet commands of orvanta-cli, run as a user runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <fstream>

#include "support/packet_builder.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

struct Result {
    int code = -1;
    std::string out;  // standard output and error together
};

Result Cli(const std::string& args) {
    const auto r =
        orv::test::RunCommand(std::string(ORVANTA_BIN_DIR) + "/orvanta-cli " + args, true);
    return Result{r.code, r.out};
}

}  // namespace

TEST(CliPackets, PackApplyStatsAndRefusals) {
    orv::test::TempDir dir;
    const std::string d = dir.str();
    std::ofstream(dir.file("1.json"))
        << R"({"packet": 1, "preparations": [{"id": 1, "name": "Аспирин", "g": -1}],
        "groups": [{"id": 1, "name": "Анальгетики"}]})";
    std::ofstream(dir.file("3.json"))
        << R"({"packet": 3, "preparations": [{"id": 2, "name": "Анальгин"}]})";
    std::ofstream(dir.file("bad.json"))
        << R"({"packet": 2, "preparations": [{"id": 2, "nam": "x"}]})";

    EXPECT_EQ(Cli("pack " + d + "1.json " + d + "1.pckt").code, 0);
    EXPECT_EQ(Cli("pack " + d + "3.json " + d + "3.pckt").code, 0);
    Result bad = Cli("pack " + d + "bad.json " + d + "2.pckt");
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.out.find("препарат id=2: неизвестное поле «nam»"), std::string::npos) << bad.out;

    Result unpacked = Cli("unpack " + d + "1.pckt");
    EXPECT_EQ(unpacked.code, 0);
    EXPECT_NE(unpacked.out.find("\"name\": \"Аспирин\""), std::string::npos) << unpacked.out;

    Result applied = Cli("apply --dir " + d + " --init " + d + "1.pckt");
    EXPECT_EQ(applied.code, 0) << applied.out;
    EXPECT_NE(applied.out.find("Пакет №1 установлен"), std::string::npos) << applied.out;

    Result order = Cli("apply --dir " + d + " " + d + "3.pckt");
    EXPECT_EQ(order.code, 1);
    EXPECT_NE(order.out.find("Установка невозможна, не все предыдущие пакеты установлены"),
              std::string::npos);
    Result again = Cli("apply --dir " + d + " " + d + "1.pckt");
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.out.find("Пакет №1 уже установлен"), std::string::npos);
    Result missing = Cli("apply --dir " + d + " " + d + "9.pckt");
    EXPECT_NE(missing.out.find("Файл " + d + "9.pckt не найден!"), std::string::npos)
        << missing.out;

    // A failing line tells whether rows before it were written.
    orv::test::WritePacket(dir.file("2.pckt"), 2, {"абв|0|Имя", orv::test::PrepLine(3, "Б")});
    Result failed = Cli("apply --dir " + d + " " + d + "2.pckt");
    EXPECT_EQ(failed.code, 1) << failed.out;
    EXPECT_EQ(failed.out.find("строки до неё записаны"), std::string::npos) << failed.out;
    EXPECT_NE(failed.out.find("ничего не записано"), std::string::npos) << failed.out;

    Result stats = Cli("stats --dir " + d);
    EXPECT_EQ(stats.code, 0);
    EXPECT_NE(stats.out.find("\n1\t"), std::string::npos) << stats.out;
    EXPECT_NE(stats.out.find("\t1\n"), std::string::npos) << stats.out;
    EXPECT_NE(stats.out.find("В базе 1 записей."), std::string::npos) << stats.out;

    Result gen = Cli("generate --out " + d + "gen --preparations 50 --seed 3");
    EXPECT_EQ(gen.code, 0) << gen.out;
    EXPECT_EQ(Cli("apply --dir " + d + "gen --init " + d + "gen/1.pckt").code, 0);
    EXPECT_EQ(Cli("generate --out " + d + "gen").code, 2);
}
