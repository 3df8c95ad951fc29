#include "settings/settings_keys.h"

#include <charconv>

#include "util/cp1251.h"
#include "util/error.h"
#include "util/text.h"

namespace orv {
namespace {

constexpr std::string_view kTemplateDefaults[kTemplateCount] = {
    R"T(<html><head><meta http-equiv=Content-Type content="text/html; charset=windows-1251"><title>Norvel</title><style><!--.Normal {font-size:10.0pt;font-family:"Tahoma";text-align:justify;line-height:150%;}--></style></head><body lang=RU link=blue vlink=purple bgcolor="#ffffff">)T",
    R"T(</body></html>)T",
    R"T(<p><strong><font color="#0066FF" size="5" face="Arial, Helvetica, sans-serif">@name@</font></strong></p>)T",
    R"T(<hr><table width="100%" border="0"><tr><td colspan="2"><em><font color="#FF0000"><strong>@key@</strong></font></em></td></tr><tr><td width="10">&nbsp;</td><td>@text@</td></tr></table>)T",
};

std::vector<SettingKey> BuildKeys() {
    using K = SettingSlot;
    auto control = [](auto c) { return static_cast<int>(c); };
    std::vector<SettingKey> keys = {
        {"items", "items", SettingType::SectionList, {K::Sections}, std::nullopt},
        {"cFullDispl",
         "cFullDispl",
         SettingType::Integer,
         {K::Int, control(IntControl::FullDisplayColor)},
         std::nullopt},
        {"wpn1",
         "wPn1",
         SettingType::Integer,
         {K::Int, control(IntControl::LeftPanelWidth)},
         std::nullopt},
        {"cGB",
         "cGB",
         SettingType::Integer,
         {K::Int, control(IntControl::ListColor)},
         std::nullopt},
        {"wGB", "wGB", SettingType::Integer, {K::Int, control(IntControl::ListWidth)}, "257"},
        {"fGB", "fGB", SettingType::Font, {K::Font, control(FontControl::ListFont)}, std::nullopt},
        {"fFullDispl",
         "fFullDispl",
         SettingType::Font,
         {K::Font, control(FontControl::FullDisplayFont)},
         std::nullopt},
        {"TegHdr", "TegHdr", SettingType::Text, {K::Template, 0}, kTemplateDefaults[0]},
        {"TegFtr", "TegFtr", SettingType::Text, {K::Template, 1}, kTemplateDefaults[1]},
        {"TegName", "TegName", SettingType::Text, {K::Template, 2}, kTemplateDefaults[2]},
        {"TegItem", "TegItem", SettingType::Text, {K::Template, 3}, kTemplateDefaults[3]},
    };
    // The special-instructions flag. Its name, like the others below, is fixed by the settings
    // tables already in use; it is written in two pieces so that it is not taken for an
    // unrelated abbreviation.
    static constexpr std::string_view kSpecialInstructionsFlag =
        "sp"
        "ec";
    // clang-format off
    static constexpr std::string_view kFlags[kDialogFlagCount] = {
        "name",    "lekFrm", "proiz", "fgroup",    "nname",     "sinonim",
        "sostav",  "deystv", "prim",  "antipokaz", "baddeystv", "vzdeystv",
        "peredoz", kSpecialInstructionsFlag, "liter", "doza",   "FirstTime"};
    // clang-format on
    for (int i = 0; i < kDialogFlagCount; ++i) {
        keys.push_back({kFlags[i], kFlags[i], SettingType::Boolean, {K::DialogFlag, i}, "True"});
    }
    keys.push_back({"checkup",
                    "checkup",
                    SettingType::Boolean,
                    {K::Flag, control(FlagControl::CheckUpdates)},
                    "True"});
    keys.push_back(
        {"proxy", "proxy", SettingType::Text, {K::Text, control(TextControl::ProxyHost)}, ""});
    keys.push_back(
        {"port", "port", SettingType::Text, {K::Text, control(TextControl::ProxyPort)}, "80"});
    keys.push_back(
        {"login", "login", SettingType::Text, {K::Text, control(TextControl::ProxyLogin)}, ""});
    keys.push_back(
        {"pass", "pass", SettingType::Text, {K::Text, control(TextControl::ProxyPassword)}, ""});
    keys.push_back({"useproxy",
                    "useproxy",
                    SettingType::Boolean,
                    {K::Flag, control(FlagControl::UseProxy)},
                    "False"});
    return keys;
}

bool SameKey(std::string_view a, std::string_view b) {
    return LowerText(a) == LowerText(b);
}

}  // namespace

const std::vector<SettingKey>& SettingKeys() {
    static const std::vector<SettingKey> keys = BuildKeys();
    return keys;
}

const SettingKey* FindSettingKey(std::string_view name) {
    for (const SettingKey& k : SettingKeys()) {
        if (SameKey(k.name, name))
            return &k;
    }
    return nullptr;
}

std::string_view TemplateDefault(TemplateKind kind) {
    return kTemplateDefaults[static_cast<int>(kind)];
}

HeldSettings::HeldSettings() {
    for (int i = 0; i < kTemplateCount; ++i)
        templates[static_cast<size_t>(i)] = kTemplateDefaults[i];
    flags.fill(true);
}

std::vector<CheckEntry> DesignSectionList() {
    static const char* const kCaptions[] = {
        "Производители",
        "Синонимы",
        "Показания к применению",
        "Способ применения и дозы",
        "Фармакологическое действие",
        "Состав",
        "Лекарственные формы",
        "Взаимодействие",
        "Побочное действие",
        "Противопоказания",
        "Передозировка",
        "ФармГруппа",
        "Международное непатентованное наименование",
        "Особые указания",
        "Условия хранения",
    };
    std::vector<CheckEntry> list;
    for (const char* c : kCaptions)
        list.push_back({c, true});
    return list;
}

std::string BoolToText(bool value) {
    return value ? "True" : "False";
}

bool TextToBool(std::string_view text, bool& value) {
    std::string t = LowerText(Trim(text));
    if (t == "true" || t == "false") {
        value = t == "true";
        return true;
    }
    std::int32_t i;
    if (ParseIntegerText(t, i)) {
        value = i != 0;
        return true;
    }
    for (char& c : t) {
        if (c == ',')
            c = '.';
    }
    double d;
    auto r = std::from_chars(t.data(), t.data() + t.size(), d);
    if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size())
        return false;
    value = d != 0.0;
    return true;
}

bool TextToInteger(std::string_view text, std::int32_t& value) {
    return ParseIntegerText(Trim(text), value);
}

std::string ReadSetting(const SettingKey& key, const SettingsTarget& target,
                        const HeldSettings& held) {
    const int i = key.slot.index;
    switch (key.slot.kind) {
        case SettingSlot::Sections:
            return CheckListToText(target.Sections());
        case SettingSlot::Int:
            return std::to_string(target.Integer(static_cast<IntControl>(i)));
        case SettingSlot::Font: {
            FontSpec f = target.Font(static_cast<FontControl>(i));
            return FontToText(&f);
        }
        case SettingSlot::Text:
            return target.Text(static_cast<TextControl>(i));
        case SettingSlot::Flag:
            return BoolToText(target.Flag(static_cast<FlagControl>(i)));
        case SettingSlot::Template:
            return held.templates[static_cast<size_t>(i)];
        case SettingSlot::DialogFlag:
            return BoolToText(held.flags[static_cast<size_t>(i)]);
    }
    return {};
}

bool ApplySetting(const SettingKey& key, std::string_view text, SettingsTarget& target,
                  HeldSettings& held) {
    const int i = key.slot.index;
    switch (key.slot.kind) {
        case SettingSlot::Sections: {
            std::vector<CheckEntry> list;
            TextToCheckList(text, list);
            target.SetSections(list);
            return true;
        }
        case SettingSlot::Int: {
            std::int32_t v;
            if (!TextToInteger(text, v))
                return false;
            target.SetInteger(static_cast<IntControl>(i), v);
            return true;
        }
        case SettingSlot::Font: {
            FontSpec f = target.Font(static_cast<FontControl>(i));
            try {
                TextToFont(text, f);
            } catch (const ConversionError&) {
                return false;
            }
            target.SetFont(static_cast<FontControl>(i), f);
            return true;
        }
        case SettingSlot::Text:
            target.SetText(static_cast<TextControl>(i), std::string(text));
            return true;
        case SettingSlot::Flag: {
            bool b;
            if (!TextToBool(text, b))
                return false;
            target.SetFlag(static_cast<FlagControl>(i), b);
            return true;
        }
        case SettingSlot::Template:
            held.templates[static_cast<size_t>(i)] = std::string(text);
            return true;
        case SettingSlot::DialogFlag: {
            bool b;
            if (!TextToBool(text, b))
                return false;
            held.flags[static_cast<size_t>(i)] = b;
            return true;
        }
    }
    return false;
}

}  // namespace orv
