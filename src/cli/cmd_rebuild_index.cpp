#include <iostream>

#include "cli/commands.h"
#include "db/reference.h"
#include "search/index_rebuild.h"

namespace orv::cli {
namespace {

int Run(Args& args) {
    const std::string dir = args.Dir();
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    Reference ref(dir);
    ref.qMain.Open();
    std::string last;
    RebuildIndexTable(ref.qMain, ref.Db().Path(), [&last](const std::string& status) {
        if (status == last || status.empty())
            return;
        last = status;
        std::cerr << status << "\n";
    });
    std::cout << "Индекс построен: " << ref.qMain.RecordCount() << " препарат(ов)\n";
    return 0;
}

}  // namespace

const Command kRebuildIndexCommand{
    "reindex", "перестроить поисковый индекс (таблица ndx, поля ndx1/ndx2 и индекс слов)",
    "orvanta-cli reindex [--dir ПАПКА]\n"
    "  Для каждого препарата заново строит слова показаний и фармакологического действия\n"
    "  в таблице ndx и в полях ndx1/ndx2 таблицы b, по которым ищут поиски, и заново\n"
    "  заполняет индекс слов (названия, синонимы, ndx1, ndx2), сужающий поиски.\n"
    "  Ход работы (проценты) печатается в stderr.\n",
    Run};

}  // namespace orv::cli
