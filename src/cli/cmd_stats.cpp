#include <iostream>

#include "cli/commands.h"
#include "db/reference.h"
#include "update/local_packets.h"

namespace orv::cli {
namespace {
int Run(Args& args) {
    std::string dir = args.Dir();
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    Reference ref(dir);
    PacketHistory h = CollectPacketStatistics(ref);
    std::cout << "№ пакета\tДата/время обновления\tЗаписей\n";
    for (const auto& r : h.rows)
        std::cout << r.id << "\t" << r.dtText << "\t" << r.preparations << "\n";
    std::cout << TotalRecordsText(ref.TotalPreparations()) << "\n";
    return 0;
}
}  // namespace

const Command kStatsCommand{
    "stats", "список установленных пакетов и число препаратов каждого",
    "orvanta-cli stats [--dir ПАПКА]\n"
    "  Печатает установленные пакеты: номер, дату и время установки и число препаратов,\n"
    "  которые этот пакет изменил последним; в конце — общее число препаратов.\n",
    Run};

}  // namespace orv::cli
