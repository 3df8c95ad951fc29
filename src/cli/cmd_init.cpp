#include <iostream>

#include "cli/commands.h"
#include "db/schema.h"

namespace orv::cli {
namespace {
int Run(Args& args) {
    std::string dir = args.Dir();
    bool legacy = args.Flag("--legacy");
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    CreateReferenceFile(dir + "source.bin", legacy);
    std::cout << "Создан пустой справочник " << dir << "source.bin\n";
    return 0;
}
}  // namespace

const Command kInitCommand{
    "init", "создать пустой справочник source.bin",
    "orvanta-cli init [--dir ПАПКА] [--legacy]\n"
    "  Создаёт в ПАПКЕ пустую базу source.bin со всеми таблицами справочника.\n"
    "  --legacy  создать базу старого образца (без таблицы packets и без полей\n"
    "            status/md в g и i), чтобы проверить её обновление.\n"
    "  Существующий файл не перезаписывается.\n",
    Run};

}  // namespace orv::cli
