// A folder of packet files served as an update server, for a shop, the tests and the demo.
#include <httplib.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

#include "cli/commands.h"
#include "cli/serve_workers.h"
#include "mirror/mirror_folder.h"
#include "util/error.h"
#include "util/text.h"

namespace orv::cli {
namespace {

namespace fs = std::filesystem;

// How connections are held: small answers go out at once (no Nagle wait for the client's
// delayed ACK), an idle keep-alive connection is closed after a few seconds and a busy one
// after a hundred requests, and workers are added while connections wait.
constexpr time_t kKeepAliveIdleSeconds = 5;
constexpr size_t kKeepAliveMaxRequests = 100;
constexpr size_t kMinWorkers = 8;
constexpr size_t kMaxWorkers = 2048;
constexpr int kListenBacklog = 4096;

// The same cache headers as the nginx mirror: the list changes, a packet never does.
constexpr const char* kListCacheControl = "public, max-age=60";
constexpr const char* kPacketCacheControl = "public, max-age=31536000, immutable";

class UpdateServer : public httplib::Server {
  public:
    // cpp-httplib listens with a backlog of 5: a burst of shops opening at once would see
    // refused or retried connections. Listening again on Linux only widens the queue.
    void WidenBacklog(int backlog) { ::listen(svr_sock_, backlog); }
};

// Enough descriptors for as many connections as there are workers.
void RaiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return;
    rlim_t want = std::min<rlim_t>(limit.rlim_max, 65536);
    if (limit.rlim_cur < want) {
        limit.rlim_cur = want;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

void AnswerPacket(const fs::path& file, httplib::Response& res) {
    // The size is taken from the file that was opened: a packet replaced or deleted meanwhile
    // is still sent whole, as the version this request found.
    std::error_code ec;
    auto in = std::make_shared<std::ifstream>();
    if (fs::is_regular_file(file, ec) && !fs::is_symlink(file, ec))
        in->open(file, std::ios::binary);
    if (!in->is_open()) {
        res.status = 404;
        return;
    }
    in->seekg(0, std::ios::end);
    auto size = static_cast<size_t>(std::max<std::streamoff>(0, in->tellg()));
    auto buffer = std::make_shared<std::vector<char>>(64 * 1024);
    res.set_header("Cache-Control", kPacketCacheControl);
    res.set_content_provider(size, "application/octet-stream",
                             [in, buffer](size_t offset, size_t length, httplib::DataSink& sink) {
                                 in->clear();
                                 in->seekg(static_cast<std::streamoff>(offset));
                                 size_t want = std::min(length, buffer->size());
                                 in->read(buffer->data(), static_cast<std::streamsize>(want));
                                 auto got = static_cast<size_t>(in->gcount());
                                 return got > 0 && sink.write(buffer->data(), got);
                             });
}

int Run(Args& args) {
    auto root = args.Option("--root");
    std::string host = args.Option("--host").value_or("127.0.0.1");
    auto portText = args.Option("--port");
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    if (!root)
        throw UsageError{"не указана папка пакетов --root"};
    if (!portText)
        throw UsageError{"не указан порт --port"};
    std::int32_t port;
    if (!ParseIntegerText(*portText, port) || port < 0 || port > 65535)
        throw UsageError{"порт должен быть числом от 0 до 65535: " + *portText};
    fs::path rootPath(*root);
    if (!fs::is_directory(rootPath))
        throw UsageError{"нет такой папки: " + *root};

    RaiseOpenFileLimit();
    UpdateServer server;
    server.set_tcp_nodelay(true);
    server.set_keep_alive_timeout(kKeepAliveIdleSeconds);
    server.set_keep_alive_max_count(kKeepAliveMaxRequests);
    server.new_task_queue = [] {
        return new GrowingWorkers(kMinWorkers, kMaxWorkers, std::chrono::seconds(30));
    };
    server.Get("/orvanta/updatesquery.php",
               [&](const httplib::Request& req, httplib::Response& res) {
                   std::optional<int> mode;
                   if (req.has_param("mode"))
                       mode = ParseRequestMode(req.get_param_value("mode"));
                   if (!mode) {
                       res.status = 400;
                       return;
                   }
                   if (*mode == 0) {
                       res.set_header("Cache-Control", kListCacheControl);
                       res.set_content(ListAnswer(rootPath), "text/plain");
                   } else {
                       AnswerPacket(rootPath / (std::to_string(*mode) + ".pckt"), res);
                   }
               });
    // One write per line, so that lines of parallel requests do not interleave; what the
    // client sent is cut and escaped.
    server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        std::string line = req.remote_addr + " " + TextForLog(req.method, 10) + " " +
                           TextForLog(req.target) + " " + std::to_string(res.status) + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    });

    // Ctrl+C and kill end the server cleanly: a thread waits for the signal and stops it.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    int bound =
        port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
    if (bound < 0)
        throw orv::Error("Не удалось открыть порт " + std::to_string(port) + " на " + host);
    server.WidenBacklog(kListenBacklog);
    std::thread waiter([&] {
        int sig = 0;
        sigwait(&signals, &sig);
        server.stop();
    });
    std::cout << "Сервер обновлений: http://" << host << ":" << bound << "/ (папка "
              << fs::absolute(rootPath).string() << ")" << std::endl;
    bool ok = server.listen_after_bind();
    if (waiter.joinable()) {
        // listen ended by itself: wake the waiter.
        pthread_kill(waiter.native_handle(), SIGTERM);
        waiter.join();
    }
    return ok ? 0 : 1;
}

}  // namespace

const Command kServeCommand{
    "serve", "раздать папку пакетов как сервер обновлений",
    "orvanta-cli serve --root ПАПКА [--host 127.0.0.1] --port ПОРТ\n"
    "  Отвечает на запросы программы по адресу http://ХОСТ:ПОРТ/orvanta/updatesquery.php:\n"
    "  mode=0 — список пакетов из ПАПКИ (строки \"N размер\" по возрастанию N),\n"
    "  mode=N — файл N.pckt (404, если его нет); другой mode — 400. Параметр client\n"
    "  принимается любой. Пакеты — обычные файлы N.pckt (символьные ссылки не раздаются).\n"
    "  --port 0 выбирает свободный порт; адрес печатается первой строкой.\n"
    "  Программу направляют на сервер переменной окружения ORVANTA_UPDATE_SERVER,\n"
    "  например ORVANTA_UPDATE_SERVER=http://127.0.0.1:8080/. Останавливается по Ctrl+C.\n"
    "  Для сети аптек с сотнями рабочих мест — статическое зеркало за nginx:\n"
    "  orvanta-cli mirror --help.\n",
    Run};

}  // namespace orv::cli
