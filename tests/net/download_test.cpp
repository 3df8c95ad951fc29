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
        r.timeouts.stallSeconds = 1;
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
    EXPECT_EQ(d.state(), PacketDownload::State::Completed) << d.Error();
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

TEST_F(DownloadTest, BrokenTransfersNeverBecomeThePacket) {
    struct Case {
        const char* what;
        std::string response;
        bool holdOpen;
        std::int64_t expected;
        std::string message;
    };
    const std::string body = Bytes(3000);
    const Case cases[] = {
        {"closed mid-transfer", ScriptedServer::Answer(200, body, 10000), false, 10000,
         kTransferBroken},
        {"stalled", ScriptedServer::Answer(200, body, 10000), true, 10000, kTransferBroken},
        {"shorter than the list said", ScriptedServer::Answer(200, body), false, 4000,
         "Размер полученного файла (3000 байт) не совпадает с размером пакета (4000 байт)."},
        {"longer than the list said", ScriptedServer::Answer(200, body), false, 2000,
         "Размер полученного файла (3000 байт) не совпадает с размером пакета (2000 байт)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer server(c.response, c.holdOpen);
        ExpectFailure(Request(server.address(), 4, c.expected), c.message);
        // What did arrive stays under the temporary name.
        EXPECT_EQ(ReadAll(dir_.file("upd.pckt")), body);
    }
}

TEST_F(DownloadTest, CancelKeepsTheOlderPacketAndThePartialFile) {
    const std::string body = Bytes(5000);
    ScriptedServer server(ScriptedServer::Answer(200, body, 50000), true);
    std::ofstream(dir_.file("5.pckt")) << "older";
    PacketDownload d(Request(server.address(), 5, 50000));
    while (d.Received() < 5000 && d.Pump(50) == PacketDownload::State::Running) {
    }
    ASSERT_EQ(d.state(), PacketDownload::State::Running);
    EXPECT_EQ(d.ProgressText(), "Скачано: 4 kb из 48 kb (10%)");
    d.Cancel();
    EXPECT_EQ(d.state(), PacketDownload::State::Cancelled);
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
