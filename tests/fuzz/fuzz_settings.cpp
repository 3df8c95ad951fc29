// Stored settings values through every key's decoder. A value that converts must come back
// from its stored form unchanged, and converting that form again must keep it.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "settings/settings_keys.h"
#include "settings/settings_values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    bool flag = false;
    std::int32_t number = 0;
    (void)orv::TextToBool(text, flag);
    (void)orv::TextToInteger(text, number);
    for (const auto& key : orv::SettingKeys()) {
        orv::SettingsValues target;
        orv::HeldSettings held;
        if (!orv::ApplySetting(key, text, target, held))
            continue;
        const std::string stored = orv::ReadSetting(key, target, held);
        orv::SettingsValues again;
        orv::HeldSettings heldAgain;
        if (!orv::ApplySetting(key, stored, again, heldAgain))
            orv::fuzz::Fail("a stored form does not convert back",
                            std::string(key.name) + "=" + stored);
        if (orv::ReadSetting(key, again, heldAgain) != stored)
            orv::fuzz::Fail("a stored form changes when read again",
                            std::string(key.name) + "=" + stored);
    }
    return 0;
}
