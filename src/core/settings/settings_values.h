#pragma once
// The settings held in plain values, starting from the windows' design values. Serves where
// no window exists (orvanta-cli, tests).
#include <map>

#include "settings/settings_keys.h"
#include "settings/settings_target.h"

namespace orv {

inline constexpr std::int32_t kWindowColor = -16777211;      // system colour: window
inline constexpr std::int32_t kWindowTextColor = -16777208;  // system colour: window text

struct SettingsValues : SettingsTarget {
    std::vector<CheckEntry> sections = DesignSectionList();
    std::map<IntControl, std::int32_t> integers = {
        {IntControl::FullDisplayColor, kWindowColor},
        {IntControl::LeftPanelWidth, 265},
        {IntControl::ListColor, 15532029},
        {IntControl::ListWidth, 257},
    };
    std::map<FontControl, FontSpec> fonts = {
        {FontControl::ListFont, {"MS Sans Serif", 10, true, false, false, false, 0x800000}},
        {FontControl::FullDisplayFont, {"Arial", 10, false, false, false, false, kWindowTextColor}},
    };
    std::map<TextControl, std::string> texts = {
        {TextControl::ProxyHost, ""},
        {TextControl::ProxyPort, "80"},
        {TextControl::ProxyLogin, ""},
        {TextControl::ProxyPassword, ""},
    };
    std::map<FlagControl, bool> flags = {{FlagControl::CheckUpdates, true},
                                         {FlagControl::UseProxy, false}};

    std::vector<CheckEntry> Sections() const override { return sections; }
    void SetSections(const std::vector<CheckEntry>& s) override { sections = s; }
    std::int32_t Integer(IntControl c) const override { return integers.at(c); }
    void SetInteger(IntControl c, std::int32_t v) override { integers[c] = v; }
    FontSpec Font(FontControl c) const override { return fonts.at(c); }
    void SetFont(FontControl c, const FontSpec& f) override { fonts[c] = f; }
    std::string Text(TextControl c) const override { return texts.at(c); }
    void SetText(TextControl c, const std::string& t) override { texts[c] = t; }
    bool Flag(FlagControl c) const override { return flags.at(c); }
    void SetFlag(FlagControl c, bool v) override { flags[c] = v; }
};

}  // namespace orv
