#include <iostream>

#include "cli/commands.h"
#include "db/reference.h"
#include "display/description.h"
#include "display/picture.h"
#include "settings/settings_store.h"
#include "settings/settings_values.h"
#include "util/error.h"
#include "util/text.h"

namespace orv::cli {
namespace {

// Moves a data set of the reference to the preparation asked for; returns that data set.
DataSet& FindPreparation(Reference& ref, const std::optional<std::string>& id,
                         const std::optional<std::string>& name) {
    if (id) {
        std::int32_t n;
        if (!ParseIntegerText(Trim(*id), n))
            throw UsageError{"код препарата должен быть целым числом"};
        ref.qWork.SetSql("select * from b where id=" + std::to_string(n));
        ref.qWork.Open();
        if (ref.qWork.IsEmpty())
            throw Error("Препарат с кодом " + std::to_string(n) + " не найден");
        return ref.qWork;
    }
    ref.qMain.Open();
    if (!ref.qMain.Locate(ref.NameColumn(), *name, {.caseInsensitive = true})) {
        throw Error("Препарат «" + *name + "» не найден");
    }
    return ref.qMain;
}

int Run(Args& args) {
    const std::string dir = args.Dir();
    const auto id = args.Option("--id");
    const auto name = args.Option("--name");
    const auto highlight = args.Option("--highlight");
    const std::string out = args.Option("--out").value_or(dir + "source.nvg");
    if (!args.Positionals().empty())
        throw UsageError{"лишние параметры"};
    if (id.has_value() == name.has_value())
        throw UsageError{"укажите либо --id, либо --name"};

    Reference ref(dir);
    SettingsStore store(ref.Db());
    SettingsValues settings;
    for (const std::string& key : OpenSettings(store, settings)) {
        std::cerr << "orvanta-cli show: значение настройки " << key
                  << " не распознано, взято значение по умолчанию\n";
    }
    DataSet& ds = FindPreparation(ref, id, name);

    PageOptions options;
    options.sections = settings.sections;
    options.highlightSearchWords = highlight.has_value();
    options.filterText = highlight.value_or("");
    const std::string pictDir = ref.Dir() + "_pict/";
    if (out == "-") {
        TDisplayRec rec = FillDisplayRec(ds, ref.qIzg, ref.NameColumn());
        options.picturePath = PicturePath(pictDir, ValueToIntDef(ds.Field("id"), 0));
        std::cout << EncodePage(BuildDescriptionPage(rec, options)) << std::flush;
        return 0;
    }
    WritePageForCurrentRow(ds, ref.qIzg, ref.NameColumn(), pictDir, options, out);
    std::cout << out << "\n";
    return 0;
}

}  // namespace

const Command kShowCommand{
    "show", "записать страницу описания препарата",
    "orvanta-cli show [--dir ПАПКА] (--id КОД | --name НАЗВАНИЕ) [--highlight СЛОВА] [--out ФАЙЛ]\n"
    "  Записывает страницу описания препарата так же, как программа при выборе строки:\n"
    "  разделы в порядке и с отметками сохранённых настроек, картинка из _pict,\n"
    "  windows-1251, строки через CR LF.\n"
    "  --id КОД            препарат с этим кодом\n"
    "  --name НАЗВАНИЕ     препарат с этим названием (без учёта регистра)\n"
    "  --highlight СЛОВА   выделить слова, как после универсального поиска\n"
    "  --out ФАЙЛ          куда записать (по умолчанию ПАПКА/source.nvg; «-» — в стандартный "
    "вывод)\n"
    "  Печатает путь записанного файла.\n",
    Run};

}  // namespace orv::cli
