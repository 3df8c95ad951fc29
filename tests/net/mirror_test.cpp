// The static mirror: `orvanta-cli mirror` and its check, the shipped nginx configuration run by
// the real nginx, and `orvanta-cli serve` under the same requests and many connections.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "db/database.h"
#include "mirror/mirror_folder.h"
#include "net/list_request.h"
#include "support/net_servers.h"
#include "support/nginx_mirror.h"
#include "support/raw_http.h"
#include "support/run_command.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

test::CommandResult Cli(const std::vector<std::string>& args) {
    return test::RunCommand(test::CliCommandLine(args), true);
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Packets 1..3 of a small generated reference, made once.
class MirrorTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        test::ClearProxyEnvironment();
        packets_ = new test::TempDir;
        for (int k = 1; k <= 3; ++k) {
            auto r = Cli({"generate", "--out", packets_->str(), "--preparations", "30", "--seed",
                          std::to_string(k), "--packet", std::to_string(k)});
            ASSERT_EQ(r.code, 0) << r.out;
        }
    }
    static void TearDownTestSuite() { delete packets_; }

    static fs::path Packet(int n) { return packets_->path() / (std::to_string(n) + ".pckt"); }
    void Publish() {
        auto r = Cli({"mirror", "--root", root_.str(), "--from", packets_->str()});
        ASSERT_EQ(r.code, 0) << r.out;
    }
    static test::CommandResult Update(const std::string& server, const test::TempDir& ref) {
        return test::RunCommand("ORVANTA_UPDATE_SERVER=" + server + " " +
                                    test::CliCommandLine({"update", "--dir", ref.str()}),
                                true);
    }
    static void InitReference(const test::TempDir& ref) {
        ASSERT_EQ(Cli({"init", "--dir", ref.str()}).code, 0);
    }
    static std::vector<int> Installed(const test::TempDir& ref) {
        Database db(ref.file("source.bin"));
        std::vector<int> ids;
        Statement st = db.Prepare("select id from packets order by id");
        while (st.Step())
            ids.push_back(static_cast<int>(st.ColumnInt(0)));
        return ids;
    }
    static void Setting(const test::TempDir& ref, const std::string& key,
                        const std::string& value) {
        Database db(ref.file("source.bin"));
        Statement st = db.Prepare("insert or replace into settings (key, value) values (?, ?)");
        st.Bind(1, key);
        st.Bind(2, value);
        st.Step();
    }

    static test::TempDir* packets_;
    test::TempDir work_;  // nginx's own files
    test::TempDir root_;  // the mirror folder
};
test::TempDir* MirrorTest::packets_ = nullptr;

TEST_F(MirrorTest, ListFileIsWhatServeAnswersAndOnlyPacketsCount) {
    Publish();
    // Files that are not packets: other names, a folder, a link out of the mirror, leftovers.
    test::TempDir outside;
    WriteFile(outside.file("secret.pckt"), "secret");
    WriteFile(root_.path() / "notes.txt", "x");
    WriteFile(root_.path() / "007.pckt", "x");
    WriteFile(root_.path() / "x.pckt", "x");
    WriteFile(root_.path() / "4.pckt.part", "x");
    WriteFile(root_.path() / ".orvanta-tmp-abc123", "x");
    fs::create_directory(root_.path() / "5.pckt");
    fs::create_symlink(outside.file("secret.pckt"), root_.path() / "6.pckt");
    Publish();

    std::string expected;
    for (int n = 1; n <= 3; ++n)
        expected += std::to_string(n) + " " + std::to_string(fs::file_size(Packet(n))) + "\r\n";
    EXPECT_EQ(ReadFile(root_.path() / kMirrorListFile), expected);

    test::ServeProcess serve(root_.str());
    ListRequest r;
    r.url = serve.address() + "orvanta/updatesquery.php?client=1&mode=0";
    EXPECT_EQ(FetchList(r), expected);
    int leftovers = 0;
    for (const auto& e : fs::directory_iterator(root_.path())) {
        std::string name = e.path().filename().string();
        leftovers += name.rfind(".orvanta-tmp-", 0) == 0 && name != ".orvanta-tmp-abc123";
    }
    EXPECT_EQ(leftovers, 0);
    EXPECT_EQ(ReadFile(root_.path() / "2.pckt"), ReadFile(Packet(2)));
}

TEST_F(MirrorTest, CheckFindsEveryKindOfDamage) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> damage;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"sound", [](const fs::path&) {}, "Зеркало в порядке, пакетов: 3"},
        {"no list", [](const fs::path& r) { fs::remove(r / kMirrorListFile); }, "нет файла списка"},
        {"listed packet gone", [](const fs::path& r) { fs::remove(r / "2.pckt"); },
         "пакет 2.pckt указан в списке, но его нет в папке"},
        {"other size", [](const fs::path& r) { fs::resize_file(r / "3.pckt", 100); },
         "пакет 3.pckt: размер 100 байт, а в списке"},
        {"not zlib",
         [](const fs::path& r) {
             auto size = fs::file_size(r / "2.pckt");
             WriteFile(r / "2.pckt", std::string(size, 'z'));
         },
         "пакет 2.pckt: Error"},
        {"another number",
         [](const fs::path& r) {
             fs::remove(r / "3.pckt");
             fs::copy_file(r / "1.pckt", r / "3.pckt");
             auto list = ReadFile(r / kMirrorListFile);
             auto at = list.find("\r\n3 ") + 2;
             WriteFile(
                 r / kMirrorListFile,
                 list.substr(0, at) + "3 " + std::to_string(fs::file_size(r / "1.pckt")) + "\r\n");
         },
         "пакет 3.pckt несёт номер 1"},
        {"not listed", [](const fs::path& r) { fs::copy_file(r / "1.pckt", r / "9.pckt"); },
         "пакет 9.pckt есть в папке, но не указан в списке"},
        {"malformed line",
         [](const fs::path& r) {
             WriteFile(r / kMirrorListFile, ReadFile(r / kMirrorListFile) + "x 1\r\n");
         },
         "строка списка «x 1»: не в виде «номер размер»"},
    };
    for (const Case& c : cases) {
        test::TempDir root;
        ASSERT_EQ(Cli({"mirror", "--root", root.str(), "--from", packets_->str()}).code, 0);
        c.damage(root.path());
        auto r = Cli({"mirror", "--root", root.str(), "--check"});
        EXPECT_EQ(r.code, std::string(c.what) == "sound" ? 0 : 1) << c.what << "\n" << r.out;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << c.what << "\n" << r.out;
    }
    EXPECT_EQ(Cli({"mirror", "--check"}).code, 2);
    EXPECT_EQ(Cli({"mirror", "--root", root_.file("missing")}).code, 2);
}

TEST_F(MirrorTest, FullUpdateThroughNginxAndThroughAProxy) {
    ASSERT_TRUE(test::NginxInstalled()) << "nginx is missing: run scripts/install-deps.sh";
    Publish();
    test::NginxMirror nginx(work_, root_.str());
    test::TempDir ref;
    InitReference(ref);
    auto r = Update(nginx.address(), ref);
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(Installed(ref), (std::vector<int>{1, 2, 3}));
    EXPECT_NE(r.out.find("Пакет №3 - OK"), std::string::npos) << r.out;
    r = Update(nginx.address(), ref);
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(r.out.find("Скачиваем"), std::string::npos) << r.out;

    // The access log names the installation first.
    std::string client;
    {
        Database db(ref.file("source.bin"));
        Statement id = db.Prepare("select value from settings where key = 'clientid'");
        ASSERT_TRUE(id.Step());
        client = id.ColumnText(0);
    }
    std::string log = ReadFile(nginx.file("access.log"));
    EXPECT_NE(log.find(client + " 127.0.0.1 "), std::string::npos) << log;

    // A fresh reference through tinyproxy with BasicAuth in front of nginx.
    test::TempDir behindProxy;
    InitReference(behindProxy);
    test::TinyProxy proxy(work_);
    Setting(behindProxy, "useproxy", "True");
    Setting(behindProxy, "proxy", "127.0.0.1");
    Setting(behindProxy, "port", std::to_string(proxy.port()));
    Setting(behindProxy, "login", "user");
    Setting(behindProxy, "pass", "wrong");
    r = Update(nginx.address(), behindProxy);
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_TRUE(Installed(behindProxy).empty());
    Setting(behindProxy, "pass", "secret");
    r = Update(nginx.address(), behindProxy);
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(Installed(behindProxy), (std::vector<int>{1, 2, 3}));
}

TEST_F(MirrorTest, MissingPacketThroughNginxIsFileNotFound) {
    ASSERT_TRUE(test::NginxInstalled()) << "nginx is missing: run scripts/install-deps.sh";
    Publish();
    fs::remove(root_.path() / "2.pckt");  // listed, but gone
    test::NginxMirror nginx(work_, root_.str());
    test::TempDir ref;
    InitReference(ref);
    auto r = Update(nginx.address(), ref);
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_NE(r.out.find("Файл не найден orvanta/updatesquery.php?client="), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("&mode=2"), std::string::npos) << r.out;
    // A failed download keeps what came before it: packet 1 is installed, packet 2 is not.
    EXPECT_EQ(Installed(ref), (std::vector<int>{1}));
}

// Both servers, the same hostile requests: a clean status each time, nothing from outside the
// folder, and the server still answers afterwards.
TEST_F(MirrorTest, BadRequestsGetCleanCodesFromBothServers) {
    ASSERT_TRUE(test::NginxInstalled()) << "nginx is missing: run scripts/install-deps.sh";
    Publish();
    test::TempDir outside;
    const std::string secret = "SECRET-OUTSIDE-THE-MIRROR";
    WriteFile(outside.file("8.pckt"), secret);
    WriteFile(outside.file("list.txt"), secret);
    fs::create_symlink(outside.file("8.pckt"), root_.path() / "8.pckt");
    WriteFile(root_.path() / "notes.txt", "not a packet");

    struct Case {
        std::string target;
        std::set<int> statuses;
    };
    const std::string q = "/orvanta/updatesquery.php?client=1&mode=";
    const std::vector<Case> cases = {
        {q + "abc", {400}},
        {q + "-1", {400}},
        {q + "+1", {400}},
        {q + "001", {400}},
        {q + "", {400}},
        {q + "1.5", {400}},
        {q + "99999999999999999999", {400}},
        {"/orvanta/updatesquery.php?client=1", {400}},
        {q + "42", {404}},
        {q + "8", {404}},  // a link out of the folder
        {q + "../../" + outside.path().filename().string() + "/8", {400}},
        {q + "..%2f..%2fetc%2fpasswd", {400}},
        {"/orvanta/updatesquery.php?client=../../../etc/passwd&mode=0", {200}},
        {"/orvanta/updatesquery.php?client=1&mode=0&x=" + std::string(20000, 'a'), {414, 431, 400}},
        {"/orvanta/../../../../etc/passwd", {400, 404}},
        {"/orvanta/%2e%2e/%2e%2e/%2e%2e/etc/passwd", {400, 404}},
        {"/list.txt", {404}},
        {"/notes.txt", {404}},
        {"/1.pckt", {404}},
        {"/", {404}},
    };
    test::NginxMirror nginx(work_, root_.str());
    test::ServeProcess serve(root_.str());
    for (auto [name, port] : {std::pair<const char*, int>{"nginx", nginx.port()},
                              std::pair<const char*, int>{"serve", serve.port()}}) {
        for (const Case& c : cases) {
            auto a = test::RawGet(port, c.target);
            EXPECT_TRUE(c.statuses.count(a.status))
                << name << " " << c.target.substr(0, 80) << " -> " << a.status;
            EXPECT_EQ(a.body.find(secret), std::string::npos) << name << " " << c.target;
            EXPECT_EQ(a.body.find("root:"), std::string::npos) << name << " " << c.target;
        }
        auto list = test::RawGet(port, q + "0");
        EXPECT_EQ(list.status, 200) << name;
        EXPECT_EQ(list.body, ReadFile(root_.path() / kMirrorListFile)) << name;
        EXPECT_NE(list.headers.find("Cache-Control: public, max-age=60"), std::string::npos)
            << name << list.headers;
        auto packet = test::RawGet(port, q + "1");
        EXPECT_EQ(packet.status, 200) << name;
        EXPECT_EQ(packet.body, ReadFile(Packet(1))) << name;
        EXPECT_NE(packet.headers.find("immutable"), std::string::npos) << name << packet.headers;
    }
}

// A writer republishes the list (a packet comes and goes) while readers fetch it: every answer
// is one of the two whole lists.
TEST_F(MirrorTest, ListRegeneratedWhileClientsReadIsNeverTorn) {
    ASSERT_TRUE(test::NginxInstalled()) << "nginx is missing: run scripts/install-deps.sh";
    // Many packets, so that a list is long enough to be written in more than one piece.
    for (int n = 1; n <= 400; ++n)
        WriteFile(root_.path() / (std::to_string(n) + ".pckt"), std::string(n, 'p'));
    test::TempDir aside;
    const std::string without = PublishMirror(root_.path()).listText;
    WriteFile(root_.path() / "401.pckt", "new");
    const std::string with = PublishMirror(root_.path()).listText;
    ASSERT_NE(without, with);

    test::NginxMirror nginx(work_, root_.str());
    test::ServeProcess serve(root_.str());
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::thread writer([&] {
        try {
            while (!stop) {
                fs::rename(root_.path() / "401.pckt", aside.path() / "401.pckt");
                PublishMirror(root_.path());
                fs::rename(aside.path() / "401.pckt", root_.path() / "401.pckt");
                PublishMirror(root_.path());
                ++rounds;
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    });
    std::atomic<int> torn{0}, failed{0};
    std::vector<std::thread> readers;
    for (int port : {nginx.port(), serve.port(), nginx.port(), serve.port()}) {
        readers.emplace_back([&, port] {
            for (int i = 0; i < 150; ++i) {
                ListRequest r;
                r.url = "http://127.0.0.1:" + std::to_string(port) +
                        "/orvanta/updatesquery.php?client=1&mode=0";
                try {
                    std::string answer = FetchList(r);
                    if (answer != with && answer != without)
                        ++torn;
                } catch (const ListRequestError&) {
                    ++failed;
                }
            }
        });
    }
    for (auto& t : readers)
        t.join();
    stop = true;
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(failed, 0);
    EXPECT_GT(rounds, 0);
}

// A packet deleted while a client is reading it still arrives whole; afterwards it is 404 and
// the server goes on serving.
TEST_F(MirrorTest, PacketDeletedWhileServedArrivesWhole) {
    ASSERT_TRUE(test::NginxInstalled()) << "nginx is missing: run scripts/install-deps.sh";
    std::mt19937 random(7);
    std::string big(24 << 20, '\0');
    for (char& c : big)
        c = static_cast<char>(random());
    PublishMirror(root_.path());
    test::NginxMirror nginx(work_, root_.str());
    test::ServeProcess serve(root_.str());
    const std::string target = "/orvanta/updatesquery.php?client=1&mode=7";
    for (int port : {nginx.port(), serve.port()}) {
        WriteFile(root_.path() / "7.pckt", big);
        test::RawConnection c(port);
        c.Get(target);
        auto head = c.ReadHeaders();
        ASSERT_EQ(head.status, 200) << port;
        ASSERT_EQ(head.contentLength, static_cast<long>(big.size())) << port;
        std::string body = c.ReadBody(1 << 16);
        fs::remove(root_.path() / "7.pckt");
        body += c.ReadBody(big.size() - body.size());
        EXPECT_TRUE(body == big) << port << ": " << body.size() << " bytes";
        EXPECT_EQ(test::RawGet(port, target).status, 404) << port;
        EXPECT_EQ(test::RawGet(port, "/orvanta/updatesquery.php?client=1&mode=0").status, 200);
    }
}

// A thousand shops at once, each holding its keep-alive connection open after its answer:
// every one of them is answered.
TEST_F(MirrorTest, ServeAnswersAThousandConnectionsAtOnce) {
    WriteFile(root_.path() / "1.pckt", "one");
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 4096);
    setrlimit(RLIMIT_NOFILE, &limit);
    ASSERT_GE(limit.rlim_cur, 1100u) << "too few file descriptors for the test";
    test::ServeProcess serve(root_.str());
    constexpr int kConnections = 1000;
    std::vector<std::unique_ptr<test::RawConnection>> connections;
    for (int i = 0; i < kConnections; ++i) {
        connections.push_back(std::make_unique<test::RawConnection>(serve.port()));
        connections.back()->Get("/orvanta/updatesquery.php?client=" + std::to_string(i) + "&mode=0",
                                true);
    }
    // A bound for the whole test, not a speed target: a server that serves eight at a time
    // and holds each idle connection would take ten minutes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int answered = 0;
    for (auto& c : connections) {
        if (std::chrono::steady_clock::now() > deadline)
            break;
        auto a = c->ReadAnswer();
        answered += a.status == 200 && a.body == "1 3\r\n";
    }
    EXPECT_EQ(answered, kConnections);
}

}  // namespace
}  // namespace orv
