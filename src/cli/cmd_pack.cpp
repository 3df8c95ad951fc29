#include <filesystem>
#include <iostream>

#include "cli/commands.h"
#include "update/packet_source.h"

namespace orv::cli {
namespace {
int Run(Args& args) {
    auto rest = args.Positionals();
    if (rest.size() != 2)
        throw UsageError{"нужны файл-источник и имя файла пакета"};
    PackFile(rest[0], rest[1]);
    std::cout << "Пакет " << rest[1] << " собран из " << rest[0] << " ("
              << std::filesystem::file_size(rest[1]) << " байт)\n";
    return 0;
}
}  // namespace

const Command kPackCommand{
    "pack", "собрать файл пакета обновления из источника (JSON)",
    "orvanta-cli pack ИСТОЧНИК.json ПАКЕТ.pckt\n"
    "  Собирает пакет обновления из редактируемого источника: UTF-8 JSON, один файл на пакет\n"
    "  (формат описан в README.md, раздел «Источник пакета»). Текст переводится в windows-1251\n"
    "  и сжимается zlib. Ошибка в источнике называет место (препарат id=..., поле ...).\n",
    Run};

}  // namespace orv::cli
