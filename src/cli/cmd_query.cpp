#include <iostream>

#include "cli/commands.h"
#include "db/reference.h"
#include "util/text.h"

namespace orv::cli {
namespace {

std::string Cell(const Value& v) {
    std::string s = std::holds_alternative<Blob>(v) ? UnscrambleFromStorage(std::get<Blob>(v).bytes)
                                                    : ValueToText(v);
    for (char& c : s) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return s;
}

int Run(Args& args) {
    std::string dir = args.Dir();
    auto rest = args.Positionals();
    if (rest.size() != 1)
        throw UsageError{"нужен ровно один оператор SQL"};
    Reference ref(dir);
    Statement st = ref.Db().Prepare(rest[0]);
    int n = st.ColumnCount();
    if (n > 0) {
        for (int i = 0; i < n; ++i)
            std::cout << (i ? "\t" : "") << st.ColumnName(i);
        std::cout << "\n";
    }
    while (st.Step()) {
        for (int i = 0; i < n; ++i)
            std::cout << (i ? "\t" : "") << Cell(st.Column(i));
        std::cout << "\n";
    }
    return 0;
}
}  // namespace

const Command kQueryCommand{
    "query", "выполнить один оператор SQL и напечатать результат",
    "orvanta-cli query [--dir ПАПКА] \"SQL\"\n"
    "  Выполняет оператор над source.bin (с LIKE и сравнением строк справочника)\n"
    "  и печатает строки результата через табуляцию, первой — заголовок.\n"
    "  Зашифрованные поля печатаются расшифрованными.\n",
    Run};

}  // namespace orv::cli
