// A folder of packets published for a static web server (nginx, a CDN), and its check.
#include <filesystem>
#include <iostream>

#include "cli/commands.h"
#include "mirror/mirror_check.h"
#include "mirror/mirror_folder.h"
#include "util/error.h"

namespace orv::cli {
namespace {

namespace fs = std::filesystem;

int Run(Args& args) {
    auto root = args.Option("--root");
    auto from = args.Option("--from");
    bool check = args.Flag("--check");
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    if (!root)
        throw UsageError{"не указана папка зеркала --root"};
    if (!fs::is_directory(*root))
        throw UsageError{"нет такой папки: " + TextForLog(*root)};
    if (check && from)
        throw UsageError{"--check и --from вместе не используются"};

    if (check) {
        auto problems = CheckMirror(*root);
        for (const auto& p : problems)
            std::cout << p << "\n";
        if (!problems.empty()) {
            std::cout << "Найдено проблем: " << problems.size() << "\n";
            return 1;
        }
        std::cout << "Зеркало в порядке, пакетов: " << FolderPackets(*root).size() << "\n";
        return 0;
    }

    std::optional<fs::path> source;
    if (from)
        source = fs::path(*from);
    PublishResult r = PublishMirror(*root, source);
    std::cout << "Список " << kMirrorListFile << " записан, пакетов: " << r.packets.size();
    if (!r.packets.empty())
        std::cout << " (№" << r.packets.front().number << "–№" << r.packets.back().number << ")";
    if (from)
        std::cout << ", скопировано новых: " << r.copied;
    std::cout << "\n";
    return 0;
}

}  // namespace

const Command kMirrorCommand{
    "mirror", "подготовить папку пакетов для веб-сервера (nginx) и проверить её",
    "orvanta-cli mirror --root ПАПКА [--from ИСТОЧНИК]\n"
    "orvanta-cli mirror --root ПАПКА --check\n"
    "  Записывает в ПАПКУ файл list.txt — ответ на запрос списка (mode=0) байт в байт,\n"
    "  как его даёт orvanta-cli serve: строка \"N размер\" на каждый файл N.pckt, по\n"
    "  возрастанию N. С --from сначала копирует из ИСТОЧНИКА пакеты, которых в ПАПКЕ нет\n"
    "  или которые отличаются. Каждый файл пишется под временным именем и переименовывается\n"
    "  на место, пакеты раньше списка: клиент видит старый список или новый, но не половину,\n"
    "  и каждый пакет списка уже целиком на месте. Символьные ссылки пакетами не считаются.\n"
    "  Запускайте после каждого нового пакета. Настройка nginx: "
    "contrib/nginx/orvanta-mirror.conf.\n"
    "  --check проверяет, что каждый пакет списка есть, его размер совпадает со списком,\n"
    "  он распаковывается и несёт свой номер, и что в папке нет пакетов вне списка;\n"
    "  печатает каждую проблему и завершается с кодом 1, если они есть.\n",
    Run};

}  // namespace orv::cli
