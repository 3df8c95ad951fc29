// orvanta-cli update: the unattended update against orvanta-cli serve (and tinyproxy), from an
// empty reference, with packets already on disk, and its failures.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "db/database.h"
#include "support/net_servers.h"
#include "support/packet_builder.h"
#include "support/run_command.h"
#include "update/update_lock.h"

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

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A damaged N.pckt on disk is set aside as N.pckt.bad and fetched again once the server has
// the packet; without the packet on the server it stays and the run fails saying so.
TEST_F(UpdateCliTest, ADamagedPacketOnDiskIsFetchedAgain) {
    const std::string good = ReadAll(packets_->file("1.pckt"));
    test::TempDir bombDir;
    test::WriteBombPacket(bombDir.file("1.pckt"), 1, size_t{200} << 20);
    const std::vector<std::pair<const char*, std::string>> damages = {
        {"cut short", good.substr(0, good.size() / 2)},
        {"right-sized garbage", std::string(good.size(), '\x5a')},
        {"another packet", ReadAll(packets_->file("2.pckt"))},
        {"a zip bomb", ReadAll(bombDir.file("1.pckt"))},
    };
    for (const auto& [what, bytes] : damages) {
        SCOPED_TRACE(what);
        test::TempDir ref, root;
        ASSERT_EQ(RunShell(kCli + " init --dir " + ref.str()).code, 0);
        std::ofstream(ref.file("1.pckt"), std::ios::binary) << bytes;
        {
            // The server does not have it (yet): the file stays, the run fails.
            fs::copy_file(packets_->file("2.pckt"), root.file("2.pckt"));
            test::ServeProcess serve(root.str());
            Result r = RunShell("ORVANTA_UPDATE_SERVER=" + serve.address() + " " + kCli +
                                " update --dir " + ref.str());
            EXPECT_EQ(r.code, 1) << r.output;
            EXPECT_TRUE(fs::exists(ref.file("1.pckt")));
        }
        fs::copy_file(packets_->file("1.pckt"), root.file("1.pckt"));
        test::ServeProcess serve(root.str());
        Result r = RunShell("ORVANTA_UPDATE_SERVER=" + serve.address() + " " + kCli +
                            " update --dir " + ref.str());
        EXPECT_EQ(r.code, 0) << r.output;
        EXPECT_NE(r.output.find("Файл 1.pckt повреждён ("), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("Скачиваем пакет №1..."), std::string::npos) << r.output;
        EXPECT_EQ(ReadAll(ref.file("1.pckt.bad")), bytes);
        EXPECT_EQ(ReadAll(ref.file("1.pckt")), good);
        Database db(ref.file("source.bin"));
        Statement st = db.Prepare("select count(*) from packets");
        st.Step();
        EXPECT_EQ(st.ColumnInt(0), 2);
    }
}

// A reference that cannot be opened ends the run before any request: code 1, the reason on
// standard error and in the log beside it.
TEST_F(UpdateCliTest, AnUnusableReferenceFailsAtTheStartAndIsLogged) {
    for (const bool missing : {false, true}) {
        SCOPED_TRACE(missing ? "missing" : "not a database");
        fs::remove(ref_.file("update.log"));
        if (missing)
            fs::remove(ref_.file("source.bin"));
        else
            std::ofstream(ref_.file("source.bin"), std::ios::trunc) << std::string(4096, 'z');
        Result r = Update("http://127.0.0.1:9/");
        EXPECT_EQ(r.code, 1) << r.output;
        EXPECT_NE(r.output.find("source.bin"), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("Проверка"), std::string::npos) << r.output;
        const std::string log = ReadAll(ref_.file("update.log"));
        const size_t at = log.find("Ошибка: ");
        EXPECT_NE(at, std::string::npos) << log;
        EXPECT_NE(log.find("source.bin", at), std::string::npos) << log;
        EXPECT_NE(log.find("Конец обновления, код 1", at), std::string::npos) << log;
    }
}

// Bad answers of the server end the run within its bounds, with code 1 and the reason on
// standard error and in the log; the next run against a sound server completes.
TEST_F(UpdateCliTest, BadServersFailWithTheirReason) {
    const std::string packet = ReadAll(packets_->file("1.pckt"));
    const std::string list = "1 " + std::to_string(packet.size()) + "\r\n";
    test::TempDir bombDir;
    test::WriteBombPacket(bombDir.file("1.pckt"), 1, size_t{200} << 20);
    const std::string bomb = ReadAll(bombDir.file("1.pckt"));
    struct Case {
        const char* what;
        test::ScriptedServer::Responder respond;
        int trickleMs;
        std::string reason;
    };
    auto answer = [](std::string body) {
        return [body](const std::string&) { return test::ScriptedServer::Answer(200, body); };
    };
    const Case cases[] = {
        {"garbage list", answer("<html><body>Service Unavailable</body></html>"), 0,
         "Сервер обновлений прислал не список пакетов: «<html><body>Service "
         "Unavailable</body></html>»"},
        {"empty list", answer(""), 0, "Сервер обновлений прислал пустой список пакетов."},
        {"trickling list", answer(std::string(3000, '1')), 300, "слишком медленно"},
        {"garbage packet",
         [&](const std::string& request) {
             return test::ScriptedServer::Answer(200, request.find("mode=0") != std::string::npos
                                                          ? list
                                                          : std::string(packet.size(), 'q'));
         },
         0, "Пакет №1 получен с сервера повреждённым. (это не сжатый пакет обновления (zlib))"},
        {"zip bomb",
         [&](const std::string& request) {
             return test::ScriptedServer::Answer(200,
                                                 request.find("mode=0") != std::string::npos
                                                     ? "1 " + std::to_string(bomb.size()) + "\r\n"
                                                     : bomb);
         },
         0,
         "Пакет №1 получен с сервера повреждённым. (при распаковке он вырастает больше чем в 50 "
         "раз"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScriptedServer server(c.respond, false, c.trickleMs);
        Result r =
            RunShell("ORVANTA_NET_FLOOR_SECONDS=1 ORVANTA_UPDATE_SERVER=" + server.address() + " " +
                     kCli + " update --dir " + ref_.str());
        EXPECT_EQ(r.code, 1) << r.output;
        EXPECT_NE(r.output.find(c.reason), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("Готово"), std::string::npos) << r.output;
        const std::string log = ReadAll(ref_.file("update.log"));
        EXPECT_NE(log.find("Ошибка: "), std::string::npos) << log;
        EXPECT_NE(log.rfind("Конец обновления, код 1"), std::string::npos) << log;
        EXPECT_FALSE(fs::exists(ref_.file("1.pckt")));
        EXPECT_TRUE(Installed().empty());
    }
    // A sound packet of another size than the list said is installed, with a note.
    test::ScriptedServer server([&](const std::string& request) {
        return test::ScriptedServer::Answer(
            200, request.find("mode=0") != std::string::npos ? "1 999\r\n" : packet);
    });
    Result r = Update(server.address());
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Installed(), std::vector<int>{1});
    EXPECT_NE(ReadAll(ref_.file("update.log")).find("а в списке сервера 999 байт"),
              std::string::npos);
}

// The log: timestamped lines from the start to the end with its code, never the proxy's
// password nor credentials of a URL; rotated at about a megabyte.
TEST_F(UpdateCliTest, TheLogTellsTheWholeRun) {
    Serve({1, 2});
    Setting("useproxy", "False");
    Setting("pass", "s3cr3t-pass");
    std::string address = serve_->address();
    address.insert(std::string("http://").size(), "admin:s3cr3t-pass@");
    Result r = Update(address);
    EXPECT_EQ(r.code, 0) << r.output;
    const std::string log = ReadAll(ref_.file("update.log"));
    for (const char* line :
         {"Начало обновления", "На сервере пакетов: 2, последний №2; установлен №0",
          "Пакет №1 загружен: ", "Пакет №2 установлен: ", "Конец обновления, код 0"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
    EXPECT_EQ(log.find("s3cr3t"), std::string::npos) << log;
    EXPECT_EQ(log.find("admin"), std::string::npos) << log;
    EXPECT_EQ(log.compare(0, 2, "20"), 0) << log;  // each line begins with its date

    // A megabyte later the old log moves to update.log.1.
    std::ofstream(ref_.file("update.log"), std::ios::app) << std::string(1 << 20, 'x') << "\n";
    r = Update(serve_->address());
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_GT(fs::file_size(ref_.file("update.log.1")), size_t{1} << 20);
    EXPECT_LT(fs::file_size(ref_.file("update.log")), size_t{10000});
    EXPECT_NE(ReadAll(ref_.file("update.log")).find("Конец обновления, код 0"), std::string::npos);
}

// Starts orvanta-cli with its output in `out`; SIGTERM once `text` shows up there (or the
// database holds rows), then the exit code.
int TerminateWhen(const std::vector<std::string>& args, const std::string& out,
                  const std::function<bool()>& ready) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 1);
        dup2(fd, 2);
        std::vector<char*> argv;
        std::string cli = kCli;
        argv.push_back(cli.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    for (int i = 0; i < 3000 && !ready(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// SIGTERM during a download and during an install: the run ends at the next step with a
// non-zero code, nothing half-recorded, and the next run completes.
TEST_F(UpdateCliTest, SigtermEndsTheRunCleanly) {
    const std::string packet = ReadAll(packets_->file("1.pckt"));
    {
        // The packet never finishes arriving.
        test::ScriptedServer server(
            [&](const std::string& request) {
                if (request.find("mode=0") != std::string::npos)
                    return test::ScriptedServer::Answer(200, "1 " + std::to_string(packet.size()));
                return test::ScriptedServer::Answer(200, packet.substr(0, 100), packet.size());
            },
            true);
        const std::string out = ref_.file("out.txt");
        const int code = TerminateWhen(
            {"update", "--dir", ref_.str(), "--server", server.address()}, out,
            [&] { return ReadAll(out).find("Скачиваем пакет №1...") != std::string::npos; });
        EXPECT_EQ(code, 143) << ReadAll(out);
        EXPECT_NE(ReadAll(out).find("Обновление прервано сигналом SIGTERM."), std::string::npos)
            << ReadAll(out);
        EXPECT_FALSE(fs::exists(ref_.file("1.pckt")));
        EXPECT_NE(ReadAll(ref_.file("update.log")).find("Конец обновления, код 143"),
                  std::string::npos);
    }
    // An install long enough to be caught in the middle.
    test::TempDir big;
    ASSERT_EQ(RunShell(kCli + " generate --out " + big.str() + " --preparations 20000").code, 0);
    const std::string out = ref_.file("out.txt");
    const int code = TerminateWhen({"apply", "--dir", ref_.str(), big.file("1.pckt")}, out, [&] {
        try {
            Database db(ref_.file("source.bin"));
            Statement st = db.Prepare("select count(*) from b");
            return st.Step() && st.ColumnInt(0) > 0;
        } catch (const std::exception&) {
            return false;
        }
    });
    EXPECT_EQ(code, 143) << ReadAll(out);
    EXPECT_NE(ReadAll(out).find("пакет не отмечен установленным"), std::string::npos)
        << ReadAll(out);
    EXPECT_TRUE(Installed().empty());
    {
        Database db(ref_.file("source.bin"));
        Statement st = db.Prepare("select count(*) from b");
        st.Step();
        EXPECT_GT(st.ColumnInt(0), 0);  // the rows written stay
        EXPECT_LT(st.ColumnInt(0), 20000);
    }
    Result r = RunShell(kCli + " apply --dir " + ref_.str() + " " + big.file("1.pckt"));
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Installed(), std::vector<int>{1});
}

// One update of a reference at a time: while another run holds the lock (here this test, as
// the desktop program would), update and apply wait within their bound and then fail with
// code 1, touching nothing; once the holder lets go, a waiting run goes on and completes.
TEST_F(UpdateCliTest, OneUpdateAtATime) {
    Serve({1});
    auto held = UpdateLock::TryAcquire(ref_.str());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(UpdateLock::TryAcquire(ref_.str()), nullptr);  // the lock is the file's, not ours
    for (const std::string& command :
         {"update --server " + serve_->address(), "apply " + packets_->file("1.pckt")}) {
        SCOPED_TRACE(command);
        Result r = RunShell("ORVANTA_UPDATE_LOCK_SECONDS=1 " + kCli + " " + command + " --dir " +
                            ref_.str());
        EXPECT_EQ(r.code, 1) << r.output;
        EXPECT_NE(r.output.find(kUpdateBusy), std::string::npos) << r.output;
        EXPECT_TRUE(Installed().empty());
        EXPECT_FALSE(fs::exists(ref_.file("upd.pckt")));
    }
    EXPECT_NE(ReadAll(ref_.file("update.log")).find(kUpdateBusy), std::string::npos);
    EXPECT_NE(ReadAll(ref_.file("update.log")).find("Конец обновления, код 1"), std::string::npos);

    std::thread release([&held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        held.reset();
    });
    Result r = RunShell("ORVANTA_UPDATE_LOCK_SECONDS=30 " + kCli + " update --server " +
                        serve_->address() + " --dir " + ref_.str());
    release.join();
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Installed(), std::vector<int>{1});
}

// Another process holding a write transaction on source.bin: apply waits for the busy time-out
// (5 s) and succeeds when the writer ends in time; a writer that holds on past it makes apply
// fail with the Russian message, nothing recorded, and the next apply completes.
TEST_F(UpdateCliTest, AConcurrentWriterIsWaitedFor) {
    for (const bool releasedInTime : {true, false}) {
        SCOPED_TRACE(releasedInTime ? "released in time" : "held past the time-out");
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t writer = fork();
        if (writer == 0) {
            Database db(ref_.file("source.bin"));
            db.Exec("begin immediate");
            db.Exec("insert into settings (key, value) values ('writer', 'x')");
            (void)!write(ready[1], "r", 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(releasedInTime ? 1500 : 8000));
            db.Exec("rollback");
            _exit(0);
        }
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        close(ready[0]);
        close(ready[1]);
        Result r = RunShell(kCli + " apply --dir " + ref_.str() + " " + packets_->file("1.pckt"));
        int status = 0;
        waitpid(writer, &status, 0);
        if (releasedInTime) {
            EXPECT_EQ(r.code, 0) << r.output;
            EXPECT_EQ(Installed(), std::vector<int>{1});
            fs::remove(ref_.file("source.bin"));
            ASSERT_EQ(RunShell(kCli + " init --dir " + ref_.str()).code, 0);
        } else {
            EXPECT_EQ(r.code, 1) << r.output;
            EXPECT_NE(r.output.find("База данных справочника занята другой программой"),
                      std::string::npos)
                << r.output;
            EXPECT_TRUE(Installed().empty());
            r = RunShell(kCli + " apply --dir " + ref_.str() + " " + packets_->file("1.pckt"));
            EXPECT_EQ(r.code, 0) << r.output;
            EXPECT_EQ(Installed(), std::vector<int>{1});
        }
    }
}

}  // namespace
}  // namespace orv
