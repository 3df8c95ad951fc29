#include <iostream>

#include "cli/commands.h"
#include "update/packet_file.h"
#include "update/packet_source.h"

namespace orv::cli {
namespace {
int Run(Args& args) {
    auto rest = args.Positionals();
    if (rest.size() != 1)
        throw UsageError{"нужен ровно один файл пакета"};
    WritePacketSource(ParsePacketView(ReadPacketText(rest[0])), std::cout);
    std::cout.flush();
    return 0;
}
}  // namespace

const Command kUnpackCommand{
    "unpack", "напечатать пакет обновления в виде источника (JSON)",
    "orvanta-cli unpack ПАКЕТ.pckt\n"
    "  Распаковывает пакет и печатает его в формате источника (UTF-8 JSON), который снова\n"
    "  собирается командой pack. Строки необычного вида печатаются полем \"fields\".\n"
    "  Пакет проверяется так же, как при установке (сжатие, разделы, номер).\n",
    Run};

}  // namespace orv::cli
