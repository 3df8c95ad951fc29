// The unattended update without a desktop: packets on disk, then the server's list, download
// and installation of every missing packet.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>

#include "cli/commands.h"
#include "db/reference.h"
#include "net/download.h"
#include "net/list_request.h"
#include "net/net_texts.h"
#include "net/packet_list.h"
#include "net/proxy.h"
#include "net/server_address.h"
#include "update/local_packets.h"
#include "update/packet_engine.h"
#include "util/paths.h"

namespace orv::cli {
namespace {

// Runs one packet to its end; the engine's error (with its line) ends the command.
void Install(Reference& ref, const std::string& path, int number) {
    std::cout << InstallingStatus(number) << std::endl;
    auto run = ApplyPacket(ref, path);
    try {
        while (run->Running())
            run->Tick();
    } catch (const Error& e) {
        throw Error(std::string(e.what()) + " (пакет №" + std::to_string(number) + ", " +
                    run->FailedSection() + ", строка " + std::to_string(run->FailedLine()) + ")");
    }
    std::cout << InstalledStatus(number) << std::endl;
}

void Download(const std::string& server, const std::string& client, const ServerPacket& p,
              const Reference& ref, const ProxySettings& proxy, bool tty) {
    std::cout << DownloadingStatus(p.number) << std::endl;
    DownloadRequest r;
    r.object = PacketRequestPath(client, p.number);
    r.url = server + r.object;
    r.tempFile = ref.FilePath("upd.pckt");
    r.finalFile = PacketFilePath(ref.dir(), p.number);
    r.expectedSize = p.size;
    r.proxy = proxy;
    PacketDownload d(r);
    d.Run([&](const PacketDownload& x) {
        if (tty)
            std::cerr << "\r" << x.ProgressText() << "   " << std::flush;
    });
    if (tty)
        std::cerr << "\n";
    if (d.state() != PacketDownload::State::Completed)
        throw Error(d.Error());
    std::cout << d.ProgressText() << std::endl;
}

int Run(Args& args) {
    std::string dir = args.Dir();
    auto serverOption = args.Option("--server");
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    const std::string server =
        serverOption ? NormalizeServerAddress(*serverOption) : UpdateServerAddress();
    if (server.empty())
        throw Error(std::string(kNoServerSet) + " или параметром --server");
    const bool tty = isatty(STDERR_FILENO) != 0;

    Reference ref(dir);
    ref.qMain.SetSql("select * from b");
    const ProxySettings proxy = ReadProxySettings(ref.db());
    const std::string client = ClientIdentifier(ref.db());
    int last = InitUpd(ref).lastInstalled;

    std::cout << kStatusChecking << " " << server << std::endl;
    ListRequest lr;
    lr.url = server + ListRequestPath(client);
    lr.proxy = proxy;
    std::string answer;
    try {
        answer = FetchList(lr);
    } catch (const ListRequestError& e) {
        throw Error(std::string(e.what()) + " (" + e.Detail() + ")");
    }
    std::set<int> installed;
    for (const auto& item : InitUpd(ref).packets)
        installed.insert(item.id);
    std::vector<ServerPacket> list = ParsePacketList(answer, installed);
    // Installed strictly in order, whatever order the server wrote.
    std::sort(list.begin(), list.end(),
              [](const ServerPacket& a, const ServerPacket& b) { return a.number < b.number; });
    const int newest = list.empty() ? 0 : list.back().number;
    std::cout << "На сервере пакетов: " << list.size() << ", последний №" << newest
              << "; установлен №" << last << std::endl;

    // Packets already on disk go first, without asking.
    for (const std::string& file : DuePacketFiles(ref.dir(), last, newest)) {
        int n = std::stoi(std::filesystem::path(file).stem().string());
        Install(ref, file, n);
    }
    last = InitUpd(ref).lastInstalled;

    // Everything missing is fetched first and installed afterwards, in ascending order.
    std::vector<ServerPacket> due;
    for (const auto& p : list) {
        if (p.marked && p.number > last)
            due.push_back(p);
    }
    for (const auto& p : due) {
        if (FileExists(PacketFilePath(ref.dir(), p.number)))
            continue;  // downloaded before: installed from disk
        Download(server, client, p, ref, proxy, tty);
    }
    for (const auto& p : due)
        Install(ref, PacketFilePath(ref.dir(), p.number), p.number);

    last = InitUpd(ref).lastInstalled;
    if (last < newest)
        throw Error("Справочник не обновлён до пакета №" + std::to_string(newest) +
                    ": установлен №" + std::to_string(last));
    std::cout << kStatusReady << ": установлен пакет №" << last << std::endl;
    return 0;
}

}  // namespace

const Command kUpdateCommand{
    "update", "обновить справочник с сервера обновлений",
    "orvanta-cli update [--dir ПАПКА] [--server АДРЕС]\n"
    "  Обновление без окон, как программа в фоновом режиме: сначала ставит пакеты N.pckt,\n"
    "  уже лежащие в ПАПКЕ, затем запрашивает у сервера список, скачивает каждый\n"
    "  недостающий пакет (upd.pckt, после полной загрузки — N.pckt) и ставит их по порядку.\n"
    "  Печатает строку на каждый шаг. Код 0 — справочник актуален; 1 — первая же ошибка\n"
    "  (соединение, загрузка, пакет), сообщение в stderr; установленные до неё пакеты остаются.\n"
    "  Сервер: --server, иначе переменная окружения ORVANTA_UPDATE_SERVER, иначе адрес сборки\n"
    "  (сборка без адреса сервера никого не спрашивает, и тогда это ошибка).\n"
    "  Прокси берётся из настроек справочника (useproxy, proxy, port, login, pass).\n",
    Run};

}  // namespace orv::cli
