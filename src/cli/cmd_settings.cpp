#include <algorithm>
#include <iostream>

#include "cli/commands.h"
#include "db/reference.h"
#include "display/display_rec.h"
#include "settings/settings_store.h"
#include "settings/settings_values.h"
#include "util/error.h"
#include "util/text.h"

namespace orv::cli {
namespace {

const char* TypeName(SettingType t) {
    switch (t) {
        case SettingType::Integer:
            return "целое число";
        case SettingType::Boolean:
            return "True или False";
        case SettingType::Text:
            return "текст";
        case SettingType::Font:
            return "шрифт Имя|Размер|Жирный|Курсив|Подчёркнутый|Зачёркнутый[|Цвет]";
        case SettingType::SectionList:
            return "список разделов: строки «y»/«n» + заголовок";
    }
    return "";
}

const SettingKey& RequireKey(const std::string& name) {
    const SettingKey* key = FindSettingKey(name);
    if (key == nullptr) {
        throw Error("Неизвестный ключ настроек «" + name + "» (список: orvanta-cli settings list)");
    }
    return *key;
}

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) {
        s.replace(at, from.size(), to);
    }
    return s;
}

// The stored form of a value given on the command line; throws when it does not convert.
std::string StoredForm(const SettingKey& key, std::string value) {
    if (key.type == SettingType::SectionList)
        value = ReplaceAll(value, "\\n", "\n");
    if (key.type == SettingType::Font && SplitText(value, "|").size() < 6 && !Trim(value).empty()) {
        throw Error("Значение ключа " + std::string(key.name) +
                    " должно иметь вид: " + TypeName(key.type));
    }
    SettingsValues scratch;
    HeldSettings held;
    if (!Trim(value).empty() && !ApplySetting(key, value, scratch, held)) {
        throw Error("Значение «" + value + "» не подходит для ключа " + std::string(key.name) +
                    " (" + TypeName(key.type) + ")");
    }
    if (Trim(value).empty() || key.type == SettingType::Text || key.type == SettingType::Font)
        return value;
    if (key.type == SettingType::SectionList) {
        for (const CheckEntry& e : scratch.sections) {
            if (SectionText(TDisplayRec{}, e.caption) == nullptr) {
                std::cerr << "orvanta-cli settings: раздела «" << e.caption
                          << "» нет на странице описания\n";
            }
        }
    }
    return ReadSetting(key, scratch, held);
}

int Run(Args& args) {
    const std::string dir = args.Dir();
    auto rest = args.Positionals();
    if (rest.empty())
        throw UsageError{"укажите list, get КЛЮЧ или set КЛЮЧ ЗНАЧЕНИЕ"};
    const std::string action = rest[0];
    const size_t expected = action == "list" ? 1 : action == "get" ? 2 : action == "set" ? 3 : 0;
    if (expected == 0)
        throw UsageError{"неизвестное действие «" + action + "»"};
    if (rest.size() != expected)
        throw UsageError{"неверное число параметров для " + action};

    Reference ref(dir);
    SettingsStore store(ref.Db());
    if (action == "set") {
        const SettingKey& key = RequireKey(rest[1]);
        store.Open();
        store.SetKey(key.saveName, StoredForm(key, rest[2]));
        return 0;
    }

    SettingsValues values;
    const std::vector<std::string> unconverted = OpenSettings(store, values);
    auto shown = [&](const SettingKey& key) { return ReadSetting(key, values, store.Held()); };
    if (action == "get") {
        std::cout << ReplaceAll(shown(RequireKey(rest[1])), "\r\n", "\n");
        if (RequireKey(rest[1]).type != SettingType::SectionList)
            std::cout << "\n";
        return 0;
    }
    for (const SettingKey& key : SettingKeys()) {
        const bool fallback =
            !store.StoredValue(key.name) ||
            std::find(unconverted.begin(), unconverted.end(), key.name) != unconverted.end();
        // The proxy password is not put on screen (or into a log) with the rest; get shows it.
        std::string value = shown(key);
        if (key.name == std::string_view("pass") && !value.empty())
            value = "********";
        std::cout << key.name << "\t" << ReplaceAll(value, "\r\n", "\\n")
                  << (fallback ? "\t(по умолчанию)" : "") << "\n";
    }
    return 0;
}

}  // namespace

const Command kSettingsCommand{
    "settings", "показать и изменить настройки программы",
    "orvanta-cli settings [--dir ПАПКА] list\n"
    "orvanta-cli settings [--dir ПАПКА] get КЛЮЧ\n"
    "orvanta-cli settings [--dir ПАПКА] set КЛЮЧ ЗНАЧЕНИЕ\n"
    "  Настройки хранятся в таблице settings файла source.bin; программа читает их при запуске.\n"
    "  list  все ключи в порядке загрузки со значениями, которые получит программа\n"
    "        (пароль прокси скрыт звёздочками; его показывает get pass)\n"
    "        («по умолчанию» — ключа нет, значение пустое или не распознано);\n"
    "        переводы строк показаны как \\n.\n"
    "  get   значение одного ключа (регистр букв ключа не важен).\n"
    "  set   записывает значение, проверив его тип: целые числа (цвета, ширины),\n"
    "        True/False, текст, шрифт Имя|Размер|Ж|К|П|З|Цвет, список разделов — строки\n"
    "        «y» (показан) или «n» и заголовок, через перевод строки или \\n.\n"
    "        Пустое значение означает «по умолчанию».\n"
    "  Пример: orvanta-cli settings set proxy 10.0.0.1; settings set useproxy True\n",
    Run};

}  // namespace orv::cli
