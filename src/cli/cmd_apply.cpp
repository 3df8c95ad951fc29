#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>

#include "cli/commands.h"
#include "cli/stop.h"
#include "db/reference.h"
#include "db/schema.h"
#include "update/packet_engine.h"
#include "util/paths.h"

namespace orv::cli {
namespace {

void ApplyOne(Reference& ref, const std::string& path, bool tty) {
    const auto start = std::chrono::steady_clock::now();
    auto run = ApplyPacket(ref, path);
    try {
        while (run->Running()) {
            if (StopSignal()) {
                // Between two ticks: the rows written stay, the packet is not recorded.
                run->Stop();
                if (tty)
                    std::cerr << "\n";
                std::cerr << "Установка пакета №" << run->Number()
                          << " остановлена: записанные строки остаются, пакет не отмечен "
                             "установленным.\n";
                ThrowIfStopped();
            }
            const PacketProgress& p = run->Tick();
            if (tty)
                std::cerr << "\r" << p.caption << ": " << p.progressText << std::flush;
        }
    } catch (const Error& e) {
        if (tty)
            std::cerr << "\n";
        throw Error(std::string(e.what()) + " (пакет №" + std::to_string(run->Number()) + ", " +
                    run->FailedSection() + ", строка " + std::to_string(run->FailedLine()) +
                    (run->RowsWritten() > 0 ? "; строки до неё записаны" : "; ничего не записано") +
                    ", пакет не отмечен установленным)");
    }
    if (tty)
        std::cerr << "\n";
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "Пакет №" << run->Number() << " установлен (" << path
              << "): " << run->Progress().stepsTotal << " шагов за " << seconds << " с; в базе "
              << run->TotalPreparations() << " препаратов\n";
}

int Run(Args& args) {
    std::string dir = args.Dir();
    bool init = args.Flag("--init");
    auto packets = args.Positionals();
    if (packets.empty())
        throw UsageError{"не указан файл пакета"};
    CatchStopSignals();
    if (init) {
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);  // the lock file lies there too
    }
    // Another update of this reference (the desktop program, orvanta-cli update) goes first.
    const auto lock = TakeUpdateLock(dir);
    if (init && !FileExists(dir + "source.bin"))
        CreateReferenceFile(dir + "source.bin");
    Reference ref(dir);
    // The list holds every preparation while a packet runs, as the program's callers arrange.
    ref.qMain.SetSql("select * from b");
    const bool tty = isatty(STDERR_FILENO) != 0;
    for (const auto& p : packets)
        ApplyOne(ref, p, tty);
    return 0;
}
}  // namespace

const Command kApplyCommand{
    "apply", "установить пакеты обновления в справочник",
    "orvanta-cli apply [--dir ПАПКА] [--init] ПАКЕТ.pckt...\n"
    "  Устанавливает пакеты по очереди тем же механизмом, что и программа: те же проверки\n"
    "  (структура, порядок пакетов, повторная установка) и те же сообщения. На терминале\n"
    "  показывает ход установки. При первом отказе или ошибке строки останавливается с кодом 1;\n"
    "  записанные строки остаются, пакет не отмечается установленным, повторная установка\n"
    "  того же файла доводит его до конца. SIGTERM или SIGINT останавливают установку между\n"
    "  шагами так же: записанное остаётся, пакет не отмечается, код 143/130.\n"
    "  Пока идёт другое обновление этого справочника (программа, orvanta-cli update/apply),\n"
    "  ждёт его окончания до 10 с (ORVANTA_UPDATE_LOCK_SECONDS), затем код 1.\n"
    "  --init  создать пустой справочник source.bin в ПАПКЕ, если его ещё нет.\n",
    Run};

}  // namespace orv::cli
