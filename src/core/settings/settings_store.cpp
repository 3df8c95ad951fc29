#include "settings/settings_store.h"

#include "util/cp1251.h"
#include "util/error.h"
#include "util/text.h"

namespace orv {

SettingsStore::SettingsStore(Database& db) : db_(db), tSett_(db) {
    tSett_.SetTable("settings", "key");
}

void SettingsStore::Open() {
    bool found = false;
    for (const std::string& t : db_.UserTables())
        found = found || LowerText(t) == "settings";
    if (!found)
        throw Error("В базе данных «" + db_.Path() + "» нет таблицы настроек (settings)");
    tSett_.SetSql("select * from settings");
    tSett_.Open();
}

void SettingsStore::RequireOpen() {
    if (!tSett_.Active())
        Open();
}

std::optional<std::string> SettingsStore::StoredValue(std::string_view name) {
    RequireOpen();
    if (!tSett_.Locate("key", std::string(name), {.caseInsensitive = true}))
        return std::nullopt;
    std::string value = tSett_.AsText("value");
    if (Trim(value).empty())
        return std::nullopt;
    return value;
}

std::string SettingsStore::GetKey(std::string_view name, std::string_view def) {
    return StoredValue(name).value_or(std::string(def));
}

void SettingsStore::SetKey(std::string_view name, std::string_view value) {
    RequireOpen();
    if (tSett_.Locate("key", std::string(name), {.caseInsensitive = true})) {
        tSett_.Edit();
    } else {
        tSett_.Insert();
        tSett_.SetField("key", std::string(name));
    }
    tSett_.SetField("value", std::string(value));
    try {
        tSett_.Post();
    } catch (...) {
        tSett_.Cancel();
        throw;
    }
}

std::vector<std::string> SettingsStore::LoadSettings(SettingsTarget& target) {
    Open();  // another program (orvanta-cli settings) may have changed the table meanwhile
    std::vector<std::string> unconverted;
    for (const SettingKey& key : SettingKeys()) {
        const std::string def =
            key.fixedDefault ? std::string(*key.fixedDefault) : ReadSetting(key, target, held_);
        const std::string value = GetKey(key.name, def);
        if (!ApplySetting(key, value, target, held_)) {
            unconverted.emplace_back(key.name);
            ApplySetting(key, def, target, held_);
        }
    }
    return unconverted;
}

void SettingsStore::SaveSettings(const SettingsTarget& target) {
    Open();
    for (const SettingKey& key : SettingKeys())
        SetKey(key.saveName, ReadSetting(key, target, held_));
}

std::vector<std::string> OpenSettings(SettingsStore& store, SettingsTarget& target) {
    std::vector<CheckEntry> sections = target.Sections();
    for (CheckEntry& e : sections)
        e.checked = true;
    target.SetSections(sections);
    return store.LoadSettings(target);
}

}  // namespace orv
