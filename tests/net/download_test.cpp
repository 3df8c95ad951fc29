// The packet download against real servers on 127.0.0.1: what ends up on disk after each
// outcome, the messages, cancelling, and the proxy.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "net/download.h"
#include "net/net_texts.h"
#include "net/server_address.h"
#include "support/net_servers.h"
#include "update/packet_file.h"
#include "util/error.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using test::ScriptedServer;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Bytes(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 131 + i / 7) & 0xff);
    return s;
}

class DownloadTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::ClearProxyEnvironment(); }
    DownloadRequest Request(const std::string& address, int n, std::int64_t expected) {
        DownloadRequest r;
        r.object = PacketRequestPath("c1", n);
        r.url = address + r.object;
        r.tempFile = dir_.file("upd.pckt");
        r.finalFile = dir_.file(std::to_string(n) + ".pckt");
        r.expectedSize = expected;
        r.timeouts.connectSeconds = 5;
        r.timeouts.floorSeconds = 1;
        return r;
    }
    void Put(const std::string& name, const std::string& bytes) {
        std::ofstream(root_.file(name), std::ios::binary) << bytes;
    }
    // The download fails with `message`; the final file keeps its older contents.
    void ExpectFailure(DownloadRequest r, const std::string& message) {
        std::ofstream(r.finalFile, std::ios::binary) << "older";
        PacketDownload d(r);
        EXPECT_EQ(d.Run(), PacketDownload::State::Failed);
        EXPECT_EQ(d.Error(), message);
        EXPECT_EQ(ReadAll(r.finalFile), "older");
    }
    test::TempDir root_;  // served
    test::TempDir dir_;   // the program's folder
};

TEST_F(DownloadTest, CompleteTransferReplacesTheOlderFile) {
    std::string packet = Bytes(3 * 1024 * 1024 + 17);
    Put("7.pckt", packet);
    test::ServeProcess serve(root_.str());
    std::ofstream(dir_.file("7.pckt")) << "older";
    PacketDownload d(Request(serve.address(), 7, static_cast<std::int64_t>(packet.size())));
    int steps = 0;
    EXPECT_EQ(d.Run([&](const PacketDownload&) { ++steps; }), PacketDownload::State::Completed);
    EXPECT_GT(steps, 0);
    EXPECT_EQ(d.Received(), static_cast<std::int64_t>(packet.size()));
    EXPECT_EQ(d.Percent(), 100);
    EXPECT_TRUE(ReadAll(dir_.file("7.pckt")) == packet);
    EXPECT_FALSE(fs::exists(dir_.file("upd.pckt")));
}

TEST_F(DownloadTest, TimerDrivenPumpingGetsTheSameFile) {
    std::string packet = Bytes(200000);
    Put("3.pckt", packet);
    test::ServeProcess serve(root_.str());
    PacketDownload d(Request(serve.address(), 3, 0));  // size unknown: not checked
    while (d.Pump() == PacketDownload::State::Running) {
        EXPECT_EQ(d.Percent(), -1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(d.CurrentState(), PacketDownload::State::Completed) << d.Error();
    EXPECT_TRUE(ReadAll(dir_.file("3.pckt")) == packet);
    EXPECT_EQ(d.ProgressText(), "Скачано: 195 kb");
}

TEST_F(DownloadTest, RefusedRequestsCreateNoLocalFile) {
    test::ServeProcess serve(root_.str());
    DownloadRequest r = Request(serve.address(), 9, 100);
    ExpectFailure(r, std::string(kFileNotFound) + "orvanta/updatesquery.php?client=c1&mode=9");
    EXPECT_FALSE(fs::exists(dir_.file("upd.pckt")));

    for (int status : {500, 302, 403}) {
        ScriptedServer server(ScriptedServer::Answer(status, "not a packet"));
        ExpectFailure(Request(server.address(), 9, 100), kProxyFailure);
        EXPECT_FALSE(fs::exists(dir_.file("upd.pckt"))) << status;
    }
    // Nobody listens.
    ExpectFailure(Request("http://127.0.0.1:" + std::to_string(test::FreePort()) + "/", 9, 100),
                  kProxyFailure);
    // A port that is not a number.
    r.proxy = {true, "127.0.0.1", "eighty", "", ""};
    EXPECT_THROW(PacketDownload{r}, Error);
    EXPECT_FALSE(fs::exists(dir_.file("upd.pckt")));
}

// Only a complete body holding the whole packet N becomes N.pckt; what did arrive stays under
// the temporary name, and Detail() says why.
TEST_F(DownloadTest, BrokenTransfersNeverBecomeThePacket) {
    WritePacketFile(dir_.file("p4"), std::string("4\x01") + std::string(4000, 'a') + "\x01\x01");
    WritePacketFile(dir_.file("p5"), "5\x01\x01\x01");
    const std::string packet4 = ReadAll(dir_.file("p4"));
    const std::string packet5 = ReadAll(dir_.file("p5"));
    const std::string cut = packet4.substr(0, packet4.size() - 6);
    const std::string garbage = Bytes(packet4.size());
    struct Case {
        const char* what;
        std::string response;
        bool holdOpen;
        int trickleMs;
        std::string message;
        std::string detail;  // a part of Detail()
    };
    const auto noLength = [](const std::string& body) {
        return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body;
    };
    const Case cases[] = {
        {"closed before its length", ScriptedServer::Answer(200, cut, 10000), false, 0,
         kTransferBroken, "оборвалось"},
        {"stalled", ScriptedServer::Answer(200, cut, 10000), true, 0, kTransferBroken,
         "слишком медленно"},
        {"trickling", ScriptedServer::Answer(200, packet4), false, 40, kTransferBroken,
         "меньше 1024 байт за 1 с"},
        {"chunked without its end",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" +
             [&] {
                 char size[16];
                 std::snprintf(size, sizeof size, "%zx\r\n", cut.size());
                 return size + cut + "\r\n";
             }(),
         false, 0, kTransferBroken, "оборвалось"},
        {"no length, closed early", noLength(cut), false, 0, DamagedDownloadText(4),
         "обрывается раньше конца данных"},
        {"right-sized garbage", ScriptedServer::Answer(200, garbage), false, 0,
         DamagedDownloadText(4), "не сжатый пакет"},
        {"another packet", ScriptedServer::Answer(200, packet5), false, 0, DamagedDownloadText(4),
         "в файле пакет №5, а не №4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer server(c.response, c.holdOpen, c.trickleMs);
        DownloadRequest r = Request(server.address(), 4, static_cast<std::int64_t>(packet4.size()));
        r.packet = 4;
        std::ofstream(r.finalFile, std::ios::binary) << "older";
        PacketDownload d(r);
        EXPECT_EQ(d.Run(), PacketDownload::State::Failed);
        EXPECT_EQ(d.Error(), c.message);
        EXPECT_NE(d.Detail().find(c.detail), std::string::npos) << d.Detail();
        EXPECT_EQ(ReadAll(r.finalFile), "older");
        EXPECT_TRUE(fs::exists(dir_.file("upd.pckt")));
    }
}

// The list's size is not the test: a whole packet of another size is taken, with a note.
TEST_F(DownloadTest, ASoundBodyOfAnotherSizeIsTaken) {
    WritePacketFile(dir_.file("p6"), "6\x01\x01\x01");
    const std::string packet = ReadAll(dir_.file("p6"));
    for (const std::string& response : {ScriptedServer::Answer(200, packet),
                                        "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + packet}) {
        ScriptedServer server(response);
        DownloadRequest r = Request(server.address(), 6, 4000);
        r.packet = 6;
        PacketDownload d(r);
        EXPECT_EQ(d.Run(), PacketDownload::State::Completed) << d.Error() << d.Detail();
        EXPECT_EQ(ReadAll(dir_.file("6.pckt")), packet);
        EXPECT_NE(d.SizeNote().find("а в списке сервера 4000 байт"), std::string::npos)
            << d.SizeNote();
    }
}

// A line fast enough for the floor speed still ends at the overall deadline.
TEST_F(DownloadTest, TheOverallDeadlineEndsASlowTransfer) {
    ScriptedServer server(ScriptedServer::Answer(200, Bytes(100000)), false, 20);
    DownloadRequest r = Request(server.address(), 8, 100000);
    r.timeouts.floorBytes = 10;
    r.timeouts.overallSeconds = 1;
    PacketDownload d(r);
    EXPECT_EQ(d.Run(), PacketDownload::State::Failed);
    EXPECT_EQ(d.Error(), kTransferBroken);
    EXPECT_NE(d.Detail().find("не завершился за 1 с"), std::string::npos) << d.Detail();
    EXPECT_FALSE(fs::exists(dir_.file("8.pckt")));
}

TEST_F(DownloadTest, CancelKeepsTheOlderPacketAndThePartialFile) {
    const std::string body = Bytes(5000);
    ScriptedServer server(ScriptedServer::Answer(200, body, 50000), true);
    std::ofstream(dir_.file("5.pckt")) << "older";
    PacketDownload d(Request(server.address(), 5, 50000));
    while (d.Received() < 5000 && d.Pump(50) == PacketDownload::State::Running) {
    }
    ASSERT_EQ(d.CurrentState(), PacketDownload::State::Running);
    EXPECT_EQ(d.ProgressText(), "Скачано: 4 kb из 48 kb (10%)");
    d.Cancel();
    EXPECT_EQ(d.CurrentState(), PacketDownload::State::Cancelled);
    EXPECT_EQ(d.Pump(), PacketDownload::State::Cancelled);
    EXPECT_EQ(ReadAll(dir_.file("5.pckt")), "older");
    EXPECT_EQ(ReadAll(dir_.file("upd.pckt")), body);
}

TEST_F(DownloadTest, ThroughTheProxy) {
    std::string packet = Bytes(70000);
    Put("2.pckt", packet);
    test::ServeProcess serve(root_.str());
    test::TinyProxy proxy(root_);
    DownloadRequest r = Request(serve.address(), 2, 70000);
    r.proxy = {true, "127.0.0.1", std::to_string(proxy.port()), "user", "secret"};
    {
        PacketDownload d(r);
        EXPECT_EQ(d.Run(), PacketDownload::State::Completed) << d.Error();
        EXPECT_TRUE(ReadAll(dir_.file("2.pckt")) == packet);
    }
    r.proxy.pass = "wrong";
    ExpectFailure(r, kProxyUserRefused);
    r.proxy.login = r.proxy.pass = "";
    ExpectFailure(r, kProxyUserRefused);
}

TEST(DownloadProgressTest, Texts) {
    EXPECT_EQ(DownloadProgressText(3072, 5000), "Скачано: 3 kb из 4 kb (61%)");
    EXPECT_EQ(DownloadPercent(3072, 5000), 61);
    EXPECT_EQ(DownloadProgressText(6000, 5000), "Скачано: 5 kb из 4 kb (120%)");
    EXPECT_EQ(DownloadPercent(6000, 5000), 100);
    EXPECT_EQ(DownloadProgressText(2048, 0), "Скачано: 2 kb");
    EXPECT_EQ(DownloadPercent(2048, -1), -1);
}

}  // namespace
}  // namespace orv
