#include <iostream>

#include "cli/commands.h"
#include "db/reference.h"
#include "search/name_index.h"
#include "util/text.h"

namespace orv::cli {
namespace {

std::string DistanceText(int tenths) {
    std::string s = std::to_string(tenths / 10);
    if (tenths % 10 != 0)
        s += "." + std::to_string(tenths % 10);
    return s;
}

int Run(Args& args) {
    const std::string dir = args.Dir();
    int limit = 5;
    if (const auto l = args.Option("--limit")) {
        std::int32_t n = 0;
        if (!ParseIntegerText(*l, n) || n < 1 || n > 100)
            throw UsageError{"--limit: нужно число от 1 до 100, а не «" + *l + "»"};
        limit = n;
    }
    const std::vector<std::string> rest = args.Positionals();
    if (rest.size() != 1)
        throw UsageError{"укажите один ТЕКСТ"};
    Reference ref(dir);
    NameMatcher matcher;
    LoadNameMatcher(ref, matcher);
    const std::vector<NameCandidate> found = matcher.Suggest(rest[0], static_cast<size_t>(limit));
    for (const NameCandidate& c : found) {
        std::cout << matcher.Name(c.preparation) << "\t" << MatchReasonName(c.reason) << "\t"
                  << DistanceText(c.cost) << "\n";
    }
    if (found.empty()) {
        std::cerr << (matcher.StartsSomeName(rest[0]) ? "Текст найден без исправлений\n"
                                                      : "Похожих наименований нет\n");
        return 1;
    }
    return 0;
}

}  // namespace

const Command kSuggestCommand{
    "suggest", "предложить наименования для текста с опечаткой или в другой раскладке",
    "orvanta-cli suggest [--dir ПАПКА] ТЕКСТ [--limit N]\n"
    "  Печатает наименования, которые, вероятно, имелись в виду, лучшие первыми (не больше N,\n"
    "  по умолчанию 5): наименование, табуляция, причина, табуляция, расстояние в правках.\n"
    "  Причины: layout — текст набран в другой раскладке (yj-igf — но-шпа);\n"
    "  translit — наименование латиницей (nurofen — нурофен); typo — опечатка.\n"
    "  Сравнивается начало наименований и синонимов без учёта регистра, ё = е.\n"
    "  Код выхода 1, если предложить нечего (в том числе когда текст и так находит\n"
    "  наименование).\n",
    Run};

}  // namespace orv::cli
