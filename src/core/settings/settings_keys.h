#pragma once
// Every settings key: its name, type, stored form, where its value lives and its default.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_target.h"

namespace orv {

enum class SettingType { Integer, Boolean, Text, Font, SectionList };

// Where a key's value lives between a load and a save.
struct SettingSlot {
    enum Kind { Sections, Int, Font, Text, Flag, Template, DialogFlag } kind;
    int index = 0;  // the control (IntControl, ...) or the template / dialog flag number
};

struct SettingKey {
    std::string_view name;      // looked up under this name when loading
    std::string_view saveName;  // written under this name (lookups ignore case: the same row)
    SettingType type;
    SettingSlot slot;
    // Default for a missing, blank or unconvertible value; nullopt: the value the control has.
    std::optional<std::string_view> fixedDefault;
};

// All keys, in load (and save) order.
const std::vector<SettingKey>& SettingKeys();
// The key of that name, ignoring case; nullptr when there is none.
const SettingKey* FindSettingKey(std::string_view name);

enum class TemplateKind { Header, Footer, Name, Item };
inline constexpr int kTemplateCount = 4;
inline constexpr int kDialogFlagCount = 17;
std::string_view TemplateDefault(TemplateKind kind);

// What the settings dialog keeps only to carry it from load to save: the four templates (no
// page is built from them) and seventeen flags that nothing else reads.
struct HeldSettings {
    std::array<std::string, kTemplateCount> templates;
    std::array<bool, kDialogFlagCount> flags;
    HeldSettings();
};

// The section list as the settings dialog is designed: the fifteen captions, all ticked.
std::vector<CheckEntry> DesignSectionList();

// Stored forms. Booleans are written "True"/"False"; reading also takes either word in any
// case and numbers (0 false, anything else true).
std::string BoolToText(bool value);
bool TextToBool(std::string_view text, bool& value);
bool TextToInteger(std::string_view text, std::int32_t& value);

// The stored form of the key's current value.
std::string ReadSetting(const SettingKey& key, const SettingsTarget& target,
                        const HeldSettings& held);
// Converts the stored form to the key's type and applies it; false (and nothing changed) when
// the text does not convert.
bool ApplySetting(const SettingKey& key, std::string_view text, SettingsTarget& target,
                  HeldSettings& held);

}  // namespace orv
