// A partner program for tests and for the makers of ordering programs: sends requests to the
// reference's mailbox and prints the replies that come back to its own.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <iostream>

#include "cli/commands.h"
#include "util/cp1251.h"
#include "util/user_socket.h"

namespace orv::cli {
namespace {

// "CODE W$B $$$ TEXT" -> "orvanta-partner-W-B", or "" when the request has no return address.
std::string ReturnMailbox(const std::string& request) {
    const size_t marker = request.find("$$$");
    if (marker == std::string::npos || marker < 3)
        return {};
    std::string address = request.substr(2, marker - 2);
    const size_t dollar = address.find('$');
    if (dollar == std::string::npos)
        return {};
    return "orvanta-partner-" + address.substr(0, dollar) + "-" + address.substr(dollar + 1);
}

bool SendOne(const QString& mailbox, const QByteArray& bytes) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(UserSocketPath(mailbox.toStdString())));
    if (!socket.waitForConnected(3000))
        return false;
    socket.write(bytes);
    socket.waitForBytesWritten(3000);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(3000);
    return true;
}

int Run(Args& args) {
    const std::vector<std::string> requests = args.Options("--send");
    const QString target = QString::fromStdString(args.Option("--to").value_or("orvanta-query"));
    const int replies = std::stoi(args.Option("--replies").value_or("0"));
    const int timeoutSec = std::stoi(args.Option("--timeout").value_or("10"));
    std::string listen = args.Option("--listen").value_or("");
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    if (requests.empty() && replies == 0)
        throw UsageError{"нужен хотя бы один --send ТЕКСТ или --replies N"};
    if (!listen.empty() && listen.rfind("orvanta-", 0) != 0)
        listen = "orvanta-partner-" + listen;
    if (listen.empty() && !requests.empty())
        listen = ReturnMailbox(requests.front());
    if (replies > 0 && listen.empty())
        throw UsageError{"ответы некуда получать: нет обратного адреса"};

    int argc = 1;
    char name[] = "orvanta-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    int received = 0;
    if (!listen.empty()) {
        const QString path = QString::fromStdString(UserSocketPath(listen));
        QLocalServer::removeServer(path);
        if (!server.listen(path)) {
            std::cerr << "orvanta-cli partner: не удалось открыть почтовый ящик " << listen << "\n";
            return 1;
        }
        QObject::connect(&server, &QLocalServer::newConnection, [&] {
            while (QLocalSocket* s = server.nextPendingConnection()) {
                auto* buffer = new QByteArray;
                QObject::connect(s, &QLocalSocket::readyRead,
                                 [s, buffer] { buffer->append(s->readAll()); });
                QObject::connect(s, &QLocalSocket::disconnected, [&, s, buffer] {
                    buffer->append(s->readAll());
                    std::cout << Cp1251ToUtf8(std::string_view(buffer->constData(),
                                                               static_cast<size_t>(buffer->size())))
                              << std::endl;
                    delete buffer;
                    s->deleteLater();
                    if (++received >= replies && replies > 0)
                        app.quit();
                });
            }
        });
    }
    for (const auto& r : requests) {
        const std::string bytes = Utf8ToCp1251(r);
        if (!SendOne(target, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))) {
            std::cerr << "orvanta-cli partner: справочник не отвечает (нет почтового ящика "
                      << target.toStdString() << ")\n";
            return 1;
        }
    }
    if (replies <= 0)
        return 0;
    QTimer::singleShot(timeoutSec * 1000, &app, [&] { app.exit(1); });
    const int rc = QCoreApplication::exec();
    if (received < replies) {
        std::cerr << "orvanta-cli partner: получено ответов " << received << " из " << replies
                  << "\n";
        return 1;
    }
    return rc == 0 ? 0 : 1;
}
}  // namespace

const Command kPartnerCommand{
    "partner", "программа-партнёр: отправить запрос справочнику и напечатать ответы",
    "orvanta-cli partner --send ЗАПРОС [--send ЗАПРОС ...] [--replies N] [--timeout СЕК]\n"
    "                    [--listen W-B] [--to ЯЩИК]\n"
    "  Отправляет запросы в почтовый ящик справочника (по умолчанию orvanta-query).\n"
    "  Ящики у каждого пользователя свои: это локальные сокеты в $XDG_RUNTIME_DIR (без\n"
    "  него — в личной папке orvanta-UID во временной папке); ЯЩИК с «/» — полный путь.\n"
    "  Запрос: КОД [W$B] $$$ ТЕКСТ; КОД 00 — поиск, 01 — выборка; W$B — обратный адрес.\n"
    "  С обратным адресом слушает свой ящик orvanta-partner-W-B и печатает каждый ответ\n"
    "  (\"00$$$Название\" или \"01$$$Название\") отдельной строкой; --replies N — выйти после\n"
    "  N ответов (код 1, если за --timeout секунд, по умолчанию 10, их не пришло).\n"
    "  Пример: orvanta-cli partner --send '00$$$Но-шпа'\n",
    Run};

}  // namespace orv::cli
