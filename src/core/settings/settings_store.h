#pragma once
// The key/value store of the user's settings: table `settings` of the reference database, one
// row per key, keys compared without regard to case.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "db/dataset.h"
#include "settings/settings_keys.h"
#include "settings/settings_target.h"

namespace orv {

class SettingsStore {
  public:
    explicit SettingsStore(Database& db);

    // (Re)reads the table. Throws orv::Error naming the file when it has no table `settings`.
    void Open();

    // The stored value; nullopt when the key is missing or its value is blank.
    std::optional<std::string> StoredValue(std::string_view name);
    // The stored value, or `def` when it is missing or blank.
    std::string GetKey(std::string_view name, std::string_view def);
    // Writes one row at once: the existing row of that key (its letter case kept) or a new one.
    void SetKey(std::string_view name, std::string_view value);

    // Both passes read the table afresh first.
    // Applies every key, in order, to its control. A value that does not convert gives the
    // key's default and loading goes on; the names of such keys are returned.
    std::vector<std::string> LoadSettings(SettingsTarget& target);
    // Writes every key from its control, in the same order.
    void SaveSettings(const SettingsTarget& target);

    HeldSettings& Held() { return held_; }
    const HeldSettings& Held() const { return held_; }

  private:
    void RequireOpen();

    Database& db_;
    DataSet tSett_;
    HeldSettings held_;
};

// The start-up step: ticks every section (so a missing list shows them all), opens the table
// and loads every key. Returns the keys whose stored value did not convert.
std::vector<std::string> OpenSettings(SettingsStore& store, SettingsTarget& target);

}  // namespace orv
