// orvanta-cli update: the unattended update against orvanta-cli serve (and tinyproxy), from an
// empty reference, with packets already on disk, and its failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "db/database.h"
#include "support/net_servers.h"
#include "support/run_command.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

const std::string kCli = std::string(ORVANTA_BIN_DIR) + "/orvanta-cli";

struct Result {
    int code = -1;
    std::string output;  // standard output and error
};

Result RunShell(const std::string& command) {
    const auto r = test::RunCommand(command, true);
    return Result{r.code, r.out};
}

class UpdateCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        test::ClearProxyEnvironment();
        // Three consecutive packets, made once for every test.
        packets_ = new test::TempDir;
        for (int k = 1; k <= 3; ++k) {
            ASSERT_EQ(RunShell(kCli + " generate --out " + packets_->str() +
                               " --preparations 40 --seed " + std::to_string(k) + " --packet " +
                               std::to_string(k))
                          .code,
                      0);
        }
    }
    static void TearDownTestSuite() { delete packets_; }
    void SetUp() override { ASSERT_EQ(RunShell(kCli + " init --dir " + ref_.str()).code, 0); }

    void Serve(const std::vector<int>& numbers) {
        for (int n : numbers) {
            fs::copy_file(packets_->file(std::to_string(n) + ".pckt"),
                          root_.file(std::to_string(n) + ".pckt"));
        }
        serve_ = std::make_unique<test::ServeProcess>(root_.str());
    }
    Result Update(const std::string& server) {
        return RunShell("ORVANTA_UPDATE_SERVER=" + server + " " + kCli + " update --dir " +
                        ref_.str());
    }
    std::vector<int> Installed() {
        Database db(ref_.file("source.bin"));
        std::vector<int> ids;
        Statement st = db.Prepare("select id from packets order by id");
        while (st.Step())
            ids.push_back(static_cast<int>(st.ColumnInt(0)));
        return ids;
    }
    void Setting(const std::string& key, const std::string& value) {
        Database db(ref_.file("source.bin"));
        Statement st = db.Prepare("insert or replace into settings (key, value) values (?, ?)");
        st.Bind(1, key);
        st.Bind(2, value);
        st.Step();
    }

    static test::TempDir* packets_;
    test::TempDir root_;  // served
    test::TempDir ref_;   // the reference's folder
    std::unique_ptr<test::ServeProcess> serve_;
};
test::TempDir* UpdateCliTest::packets_ = nullptr;

TEST_F(UpdateCliTest, FullUpdateFromAnEmptyReference) {
    Serve({1, 2, 3});
    Result r = Update(serve_->address());
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Installed(), (std::vector<int>{1, 2, 3}));
    for (const char* line : {"Скачиваем пакет №1...", "Скачиваем пакет №3...",
                             "Подгружаем пакет №2...", "Пакет №3 - OK"}) {
        EXPECT_NE(r.output.find(line), std::string::npos) << line;
    }
    EXPECT_FALSE(fs::exists(ref_.file("upd.pckt")));
    Database db(ref_.file("source.bin"));
    Statement count = db.Prepare("select count(*) from b");
    count.Step();
    EXPECT_GT(count.ColumnInt(0), 0);

    // Current: nothing more to fetch.
    r = Update(serve_->address());
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(r.output.find("Скачиваем"), std::string::npos) << r.output;
}

TEST_F(UpdateCliTest, PacketsOnDiskAreInstalledWithoutDownloading) {
    Serve({2, 3});  // the server no longer has packet 1
    fs::copy_file(packets_->file("1.pckt"), ref_.file("1.pckt"));
    fs::copy_file(packets_->file("3.pckt"), ref_.file("3.pckt"));
    Result r = Update(serve_->address());
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Installed(), (std::vector<int>{1, 2, 3}));
    EXPECT_NE(r.output.find("Скачиваем пакет №2..."), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Скачиваем пакет №1..."), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Скачиваем пакет №3..."), std::string::npos) << r.output;
}

TEST_F(UpdateCliTest, FirstFailureEndsWithCodeOne) {
    // Nobody listens.
    Result r = Update("http://127.0.0.1:" + std::to_string(test::FreePort()) + "/");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("Ошибка соединения с сервером."), std::string::npos) << r.output;
    EXPECT_TRUE(Installed().empty());

    // Packet 2 on the server is broken: packet 1 stays installed, 2 and 3 are not.
    std::ofstream(root_.file("2.pckt"), std::ios::binary) << std::string(500, 'z');
    Serve({1, 3});
    r = Update(serve_->address());
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_EQ(Installed(), (std::vector<int>{1}));
}

TEST_F(UpdateCliTest, ThroughTheProxyOfTheSettings) {
    Serve({1});
    test::TinyProxy proxy(root_);
    Setting("useproxy", "True");
    Setting("proxy", "127.0.0.1");
    Setting("port", std::to_string(proxy.port()));
    Setting("login", "user");
    Setting("pass", "wrong");
    Result r = Update(serve_->address());
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_NE(r.output.find("Ошибка соединения с сервером."), std::string::npos) << r.output;
    EXPECT_TRUE(Installed().empty());

    Setting("pass", "secret");
    r = Update(serve_->address());
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Installed(), (std::vector<int>{1}));
}

}  // namespace
}  // namespace orv
