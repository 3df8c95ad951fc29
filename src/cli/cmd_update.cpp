// The unattended update without a desktop: packets on disk, then the server's list, download
// and installation of every missing packet. Every step goes to standard output and to the
// update log beside source.bin.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <set>

#include "cli/commands.h"
#include "cli/stop.h"
#include "db/reference.h"
#include "net/download.h"
#include "net/list_request.h"
#include "net/net_texts.h"
#include "net/packet_list.h"
#include "net/proxy.h"
#include "net/server_address.h"
#include "update/local_packets.h"
#include "update/packet_engine.h"
#include "update/packet_file.h"
#include "update/update_log.h"
#include "util/paths.h"
#include "util/text.h"

namespace orv::cli {
namespace {

class UpdateRun {
  public:
    UpdateRun(Reference& ref, UpdateLog& log, std::string server, NetTimeouts timeouts, bool tty)
        : ref_(ref), log_(log), server_(std::move(server)), timeouts_(timeouts), tty_(tty) {}

    void Go();

  private:
    void Say(const std::string& line) {
        std::cout << line << std::endl;
        log_.Write(line);
    }
    void Install(const std::string& path, int number);
    void Download(const ServerPacket& p);
    // A packet file on disk that is damaged goes aside when the server has the packet; true
    // then (it is to be fetched again).
    bool SetAsideIfDamaged(const std::string& path, int number, bool serverHasIt);

    Reference& ref_;
    UpdateLog& log_;
    std::string server_;
    NetTimeouts timeouts_;
    bool tty_;
    ProxySettings proxy_;
    std::string client_;
};

// Runs one packet to its end; the engine's error (with its line) ends the command. A stop
// signal stops it between two ticks: the rows written stay, the packet is not recorded.
void UpdateRun::Install(const std::string& path, int number) {
    Say(InstallingStatus(number));
    const auto start = std::chrono::steady_clock::now();
    auto run = ApplyPacket(ref_, path);
    try {
        while (run->Running()) {
            if (StopSignal()) {
                run->Stop();
                Say(StoppedLogLine(number));
                ThrowIfStopped();
            }
            run->Tick();
        }
    } catch (const Error& e) {
        throw Error(std::string(e.what()) + " (пакет №" + std::to_string(number) + ", " +
                    run->FailedSection() + ", строка " + std::to_string(run->FailedLine()) + ")");
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Say(InstalledStatus(number));
    log_.Write(
        InstalledLogLine(number, run->Progress().stepsTotal, seconds, run->TotalPreparations()));
}

void UpdateRun::Download(const ServerPacket& p) {
    Say(DownloadingStatus(p.number));
    DownloadRequest r;
    r.object = PacketRequestPath(client_, p.number);
    r.url = server_ + r.object;
    r.tempFile = ref_.FilePath("upd.pckt");
    r.finalFile = PacketFilePath(ref_.Dir(), p.number);
    r.expectedSize = p.size;
    r.packet = p.number;
    r.proxy = proxy_;
    r.timeouts = timeouts_;
    PacketDownload d(r);
    d.Run([&](const PacketDownload& x) {
        if (StopSignal() && x.CurrentState() == PacketDownload::State::Running) {
            d.Cancel();
            return;
        }
        if (tty_)
            std::cerr << "\r" << x.ProgressText() << "   " << std::flush;
    });
    if (tty_)
        std::cerr << "\n";
    if (d.CurrentState() == PacketDownload::State::Cancelled) {
        Say("Загрузка пакета №" + std::to_string(p.number) + " прервана.");
        ThrowIfStopped();
    }
    if (d.CurrentState() != PacketDownload::State::Completed) {
        throw Error(d.Detail().empty() ? d.Error() : d.Error() + " (" + d.Detail() + ")");
    }
    std::cout << d.ProgressText() << std::endl;
    log_.Write(DownloadedNote(d));
}

bool UpdateRun::SetAsideIfDamaged(const std::string& path, int number, bool serverHasIt) {
    const std::string damage = PacketFileDamage(path, number);
    if (damage.empty())
        return false;
    if (!serverHasIt)
        throw Error("Файл " + path + " повреждён: " + damage);
    SetDamagedPacketAside(path);
    Say(DamagedPacketNote(number, damage));
    return true;
}

void UpdateRun::Go() {
    proxy_ = ReadProxySettings(ref_.Db());
    log_.Hide(proxy_.pass);
    client_ = ClientIdentifier(ref_.Db());
    int last = InitUpd(ref_).lastInstalled;

    Say(std::string(kStatusChecking) + " " + WithoutCredentials(server_));
    ListRequest lr;
    lr.url = server_ + ListRequestPath(client_);
    lr.proxy = proxy_;
    lr.timeouts = timeouts_;
    lr.onProgress = [](std::int64_t) { return StopSignal() == 0; };
    std::string answer;
    try {
        answer = FetchList(lr);
    } catch (const ListRequestError& e) {
        ThrowIfStopped();
        throw Error(std::string(e.what()) + " (" + e.Detail() + ")");
    }
    std::set<int> installed;
    for (const auto& item : InitUpd(ref_).packets)
        installed.insert(item.id);
    // An answer that lists nothing is no proof of being current: it is a fault of the server.
    std::vector<ServerPacket> list = RequirePacketList(answer, installed);
    // Installed strictly in order, whatever order the server wrote.
    std::sort(list.begin(), list.end(),
              [](const ServerPacket& a, const ServerPacket& b) { return a.number < b.number; });
    std::set<int> listed;
    for (const auto& p : list)
        listed.insert(p.number);
    const int newest = list.back().number;
    Say("На сервере пакетов: " + std::to_string(list.size()) + ", последний №" +
        std::to_string(newest) + "; установлен №" + std::to_string(last));

    // Packets already on disk go first, without asking; a damaged one is fetched again.
    for (const std::string& file : DuePacketFiles(ref_.Dir(), last, newest)) {
        ThrowIfStopped();
        const int n = std::stoi(std::filesystem::path(file).stem().string());
        if (SetAsideIfDamaged(file, n, listed.count(n) > 0))
            break;
        Install(file, n);
    }
    last = InitUpd(ref_).lastInstalled;

    // Everything missing is fetched first and installed afterwards, in ascending order. When a
    // download fails, the packets fetched before it are still installed.
    std::vector<ServerPacket> due;
    for (const auto& p : list) {
        if (p.marked && p.number > last)
            due.push_back(p);
    }
    size_t fetched = 0;
    std::string failure;
    for (; fetched < due.size(); ++fetched) {
        const ServerPacket& p = due[fetched];
        ThrowIfStopped();
        const std::string path = PacketFilePath(ref_.Dir(), p.number);
        if (FileExists(path) && !SetAsideIfDamaged(path, p.number, true))
            continue;  // downloaded before: installed from disk
        try {
            Download(p);
        } catch (const Error& e) {
            failure = e.what();
            break;
        }
    }
    for (size_t i = 0; i < fetched; ++i) {
        ThrowIfStopped();
        Install(PacketFilePath(ref_.Dir(), due[i].number), due[i].number);
    }
    if (!failure.empty())
        throw Error(failure);

    last = InitUpd(ref_).lastInstalled;
    if (last < newest)
        throw Error("Справочник не обновлён до пакета №" + std::to_string(newest) +
                    ": установлен №" + std::to_string(last));
    Say(std::string(kStatusReady) + ": установлен пакет №" + std::to_string(last));
}

int Run(Args& args) {
    std::string dir = args.Dir();
    auto serverOption = args.Option("--server");
    auto timeoutOption = args.Option("--timeout");
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    NetTimeouts timeouts;
    if (timeoutOption) {
        std::int32_t seconds = 0;
        if (!ParseIntegerText(*timeoutOption, seconds) || seconds < 1)
            throw UsageError{"--timeout: нужно целое число секунд больше 0"};
        timeouts.overallSeconds = seconds;
    }
    const std::string server =
        serverOption ? NormalizeServerAddress(*serverOption) : UpdateServerAddress();
    if (server.empty())
        throw Error(std::string(kNoServerSet) + " или параметром --server");
    const bool tty = isatty(STDERR_FILENO) != 0;
    CatchStopSignals();

    UpdateLog log(dir);
    log.Write("Начало обновления (orvanta-cli update), сервер " + server + ", папка " + dir);
    auto end = [&log](int code) {
        log.Write("Конец обновления, код " + std::to_string(code));
        return code;
    };
    try {
        // One update at a time: the desktop program or another orvanta-cli run goes first.
        const auto lock = TakeUpdateLock(dir);
        Reference ref(dir);
        ref.qMain.SetSql("select * from b");
        UpdateRun(ref, log, server, timeouts, tty).Go();
    } catch (const Stopped& s) {
        log.Write(StopSignalText(s.signal));
        end(StopSignalExitCode(s.signal));
        throw;
    } catch (const std::exception& e) {
        log.Write(std::string("Ошибка: ") + e.what());
        end(1);
        throw;
    }
    return end(0);
}

}  // namespace

const Command kUpdateCommand{
    "update", "обновить справочник с сервера обновлений",
    "orvanta-cli update [--dir ПАПКА] [--server АДРЕС] [--timeout СЕКУНДЫ]\n"
    "  Обновление без окон, как программа в фоновом режиме: сначала ставит пакеты N.pckt,\n"
    "  уже лежащие в ПАПКЕ, затем запрашивает у сервера список, скачивает каждый\n"
    "  недостающий пакет (upd.pckt; N.pckt — только целый пакет №N) и ставит их по порядку.\n"
    "  Повреждённый файл N.pckt откладывается как N.pckt.bad и скачивается заново.\n"
    "  Печатает строку на каждый шаг и пишет те же строки с датой и временем в журнал\n"
    "  update.log рядом с source.bin (около 1 МБ, затем update.log.1). Код 0 — справочник\n"
    "  актуален; 1 — первая же ошибка (соединение, ответ сервера, загрузка, пакет), сообщение в\n"
    "  stderr; установленные до неё пакеты остаются. SIGTERM или SIGINT останавливают\n"
    "  обновление между шагами (записанные строки остаются, пакет не отмечается), код 143/130.\n"
    "  Каждый запрос прерывается, если за 30 с пришло меньше 1 КБ или не уложился в общий\n"
    "  срок: 600 с по умолчанию, --timeout СЕКУНДЫ задаёт другой.\n"
    "  Пока идёт другое обновление этого справочника (программа, orvanta-cli update/apply),\n"
    "  ждёт его окончания до 10 с (ORVANTA_UPDATE_LOCK_SECONDS), затем код 1 и запись в журнал.\n"
    "  Сервер: --server, иначе переменная окружения ORVANTA_UPDATE_SERVER, иначе адрес сборки.\n"
    "  (сборка без адреса сервера никого не спрашивает, и тогда это ошибка).\n"
    "  Прокси берётся из настроек справочника (useproxy, proxy, port, login, pass).\n",
    Run};

}  // namespace orv::cli
