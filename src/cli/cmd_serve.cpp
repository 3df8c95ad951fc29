// A folder of packet files served as an update server, for the tests and a chain's own mirror.
#include <httplib.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

#include "cli/commands.h"
#include "util/error.h"
#include "util/text.h"

namespace orv::cli {
namespace {

namespace fs = std::filesystem;

// N.pckt with N a decimal number without leading zeros.
int PacketNumberOf(const fs::path& file) {
    if (file.extension() != ".pckt")
        return 0;
    std::string stem = file.stem().string();
    if (stem.empty() || stem.size() > 9 || stem[0] == '0' ||
        !std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stoi(stem);
}

std::string ListAnswer(const fs::path& root) {
    std::vector<std::pair<int, std::uintmax_t>> packets;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec)) {
        int n = PacketNumberOf(entry.path());
        if (n > 0 && entry.is_regular_file(ec))
            packets.emplace_back(n, entry.file_size(ec));
    }
    std::sort(packets.begin(), packets.end());
    std::string text;
    for (const auto& [n, size] : packets)
        text += std::to_string(n) + " " + std::to_string(size) + "\r\n";
    return text;
}

void AnswerPacket(const fs::path& file, httplib::Response& res) {
    std::error_code ec;
    auto size = fs::file_size(file, ec);
    auto in = std::make_shared<std::ifstream>(file, std::ios::binary);
    if (ec || !fs::is_regular_file(file) || !*in) {
        res.status = 404;
        return;
    }
    res.set_content_provider(size, "application/octet-stream",
                             [in](size_t offset, size_t length, httplib::DataSink& sink) {
                                 static thread_local std::vector<char> buffer(256 * 1024);
                                 in->seekg(static_cast<std::streamoff>(offset));
                                 size_t want = std::min(length, buffer.size());
                                 in->read(buffer.data(), static_cast<std::streamsize>(want));
                                 auto got = static_cast<size_t>(in->gcount());
                                 return got > 0 && sink.write(buffer.data(), got);
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

    httplib::Server server;
    server.Get("/orvanta/updatesquery.php",
               [&](const httplib::Request& req, httplib::Response& res) {
                   std::int32_t mode;
                   if (!req.has_param("mode") ||
                       !ParseIntegerText(req.get_param_value("mode"), mode) || mode < 0) {
                       res.status = 400;
                       return;
                   }
                   if (mode == 0)
                       res.set_content(ListAnswer(rootPath), "text/plain");
                   else
                       AnswerPacket(rootPath / (std::to_string(mode) + ".pckt"), res);
               });
    server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        std::cerr << req.remote_addr << " " << req.method << " " << req.target << " " << res.status
                  << "\n";
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
    "  mode=N — файл N.pckt (404, если его нет). Параметр client принимается любой.\n"
    "  --port 0 выбирает свободный порт; адрес печатается первой строкой.\n"
    "  Программу направляют на сервер переменной окружения ORVANTA_UPDATE_SERVER,\n"
    "  например ORVANTA_UPDATE_SERVER=http://127.0.0.1:8080/. Останавливается по Ctrl+C.\n",
    Run};

}  // namespace orv::cli
