#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "db/inn_keys.h"
#include "db/reference.h"
#include "search/analogues.h"
#include "search/extended_search.h"
#include "search/index_choice.h"
#include "search/quick_filter.h"
#include "search/statements.h"
#include "util/error.h"
#include "util/text.h"

namespace orv::cli {
namespace {

int IdOption(const std::string& option, const std::string& text) {
    std::int32_t id = 0;
    if (!ParseIntegerText(text, id))
        throw UsageError{option + ": нужен код препарата, а не «" + text + "»"};
    return id;
}

void GoToId(Reference& ref, int id) {
    if (!ref.qMain.Locate("id", std::int64_t{id}))
        throw Error("Препарат с кодом " + std::to_string(id) + " не найден");
}

void PrintList(const Reference& ref, DataSet& list) {
    if (!list.Active())
        return;
    const int current = list.RecNo();
    for (int row = 0; row < list.RecordCount(); ++row) {
        list.SetRecNo(row);
        std::cout << (row == current ? "* " : "  ") << list.AsText(ref.NameColumn()) << "\n";
    }
    list.SetRecNo(current);
}

int Report(const CommandResult& r, const DataSet& list) {
    if (r.message) {
        std::cerr << r.message->text << "\n";
        return 1;
    }
    if (r.status)
        std::cerr << *r.status << "\n";
    else if (r.statusBeforeCount)
        std::cerr << *r.statusBeforeCount << list.RecordCount() << "\n";
    return 0;
}

int Run(Args& args) {
    const std::string dir = args.Dir();
    const bool sqlOnly = args.Flag("--sql");
    const auto name = args.Option("--name");
    const auto universal = args.Option("--universal");
    const auto synonymsOf = args.Option("--synonyms-of");
    const auto text = args.Option("--text");
    const auto analoguesOf = args.Option("--analogues-of");
    const bool extended = args.Flag("--extended");
    ExtendedCriteria criteria;
    criteria.name = args.Option("--ename").value_or("");
    criteria.synonyms = args.Option("--esyn").value_or("");
    criteria.indications = args.Option("--eind").value_or("");
    criteria.action = args.Option("--eact").value_or("");
    const auto packet = args.Option("--packet");
    const auto resetFrom = args.Option("--reset-from");
    const auto locate = args.Option("--locate");
    const bool all = args.Flag("--all");
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    const int chosen = !!name + !!universal + !!synonymsOf + !!analoguesOf + extended + !!packet +
                       !!resetFrom + !!locate + all;
    if (chosen != 1)
        throw UsageError{"укажите ровно одну операцию поиска"};
    if (text && !synonymsOf)
        throw UsageError{"--text используется только с --synonyms-of"};

    Reference ref(dir);
    const std::string& col = ref.NameColumn();
    ref.qMain.Open();
    const auto printSql = [](const std::optional<std::string>& sql) {
        if (sql)
            std::cout << *sql << "\n";
        return 0;
    };

    CommandResult r;
    if (name) {
        if (sqlOnly)
            return printSql(Trim(*name).empty() ? std::nullopt
                                                : std::optional(NameFilterStatement(ref, *name)));
        r = SubmitFilter(ref, *name, false);
    } else if (universal) {
        if (sqlOnly)
            return printSql(UniversalSearchStatement(ref, *universal));
        r = SubmitFilter(ref, *universal, true);
    } else if (synonymsOf) {
        GoToId(ref, IdOption("--synonyms-of", *synonymsOf));
        const std::string typed = text.value_or("");
        if (sqlOnly) {
            const std::string search = Trim(typed).empty() ? " " + ref.qMain.AsText(col) : typed;
            const std::string rowName = ref.qMain.AsText(col);
            const std::string synonim = ref.qMain.AsText("synonim");
            const std::string condition = SynonymCondition(rowName, synonim, search, col);
            const std::string candidates = ref.SearchIndexed()
                                               ? SynonymCandidates(rowName, synonim, search, col)
                                               : std::string();
            return printSql(condition.empty()
                                ? std::nullopt
                                : std::optional(SynonymStatement(ref, condition, candidates)));
        }
        r = FilterTableSynonim(ref, typed);
    } else if (analoguesOf) {
        const int id = IdOption("--analogues-of", *analoguesOf);
        GoToId(ref, id);
        if (sqlOnly)
            return printSql(AnaloguesSql(id, col));
        r = FilterTableAnalogues(ref, ref.qMain);
        if (!r.listChanged) {  // no usable INN: the status says why, the list stays
            Report(r, ref.qMain);
            return 1;
        }
    } else if (extended) {
        if (sqlOnly)
            return printSql(ExtendedSearchStatement(ref, criteria));
        r = ExtendedSearch(ref, criteria);
    } else if (packet) {
        // The packet list shows "number (date)"; the number alone is taken as such an entry.
        const std::string entry = *packet + " ()";
        if (sqlOnly) {
            const auto n = PacketNumberOfEntry(entry);
            return printSql(n ? std::optional(PacketFilterSql(*n, col)) : std::nullopt);
        }
        r = PacketFilter(ref, entry);
    } else if (resetFrom) {
        GoToId(ref, IdOption("--reset-from", *resetFrom));
        if (sqlOnly)
            return printSql(ResetSelectionSql(col));
        r = N15Click(ref, ref.qMain);
    } else if (locate) {
        if (sqlOnly)
            return printSql(ref.qMain.Sql());
        r = LocateFilterText(ref.qMain, col, *locate);
    } else {
        if (sqlOnly)
            return printSql(std::string(kShowAllSql));
        r = ShowAll(ref);
    }
    const int code = Report(r, ref.qMain);
    if (code == 0)
        PrintList(ref, ref.qMain);
    return code;
}

}  // namespace

const Command kSearchCommand{
    "search", "найти препараты, как фильтр и поиски главного окна",
    "orvanta-cli search [--dir ПАПКА] ОПЕРАЦИЯ [--sql]\n"
    "  Выполняет одну операцию над списком препаратов (вначале — полный список по алфавиту)\n"
    "  и печатает получившийся список: по одному наименованию в строке, текущая строка\n"
    "  отмечена «* ». Строка состояния или текст сообщения программы — в stderr.\n"
    "  С --sql печатает оператор SELECT, не выполняя его.\n"
    "Операции:\n"
    "  --name ТЕКСТ            фильтр по наименованию (Enter в поле фильтра)\n"
    "  --universal ТЕКСТ       универсальный поиск: наименования, синонимы, показания, действие\n"
    "  --synonyms-of КОД [--text ТЕКСТ]\n"
    "                          выборка по синонимам препарата КОД (ТЕКСТ — как в поле фильтра)\n"
    "  --analogues-of КОД      аналоги по МНН: препараты с тем же действующим веществом,\n"
    "                          что у препарата КОД (он сам — текущая строка)\n"
    "  --extended [--ename Т] [--esyn Т] [--eind Т] [--eact Т]\n"
    "                          расширенный поиск: наименование, синонимы, показания, действие\n"
    "  --packet N              препараты, изменённые пакетом обновления N\n"
    "  --reset-from КОД        «Сбросить выборку», оставаясь на препарате КОД\n"
    "  --locate ТЕКСТ          перейти к первому наименованию, начинающемуся с ТЕКСТ\n"
    "  --all                   «Показать всё»\n"
    "Код выхода 1, если программа показала бы сообщение (например, «Необходимо ввести\n"
    "критерии поиска!») или у препарата для --analogues-of нет МНН.\n",
    Run};

}  // namespace orv::cli
