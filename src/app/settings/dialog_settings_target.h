#pragma once
// The settings target as the program holds it: the settings dialog's own controls (sections,
// proxy edits, check boxes) and, for the list's and the reading window's look, another target.
#include "settings/settings_target.h"

namespace orv::app {

class SettingsDialog;

class DialogSettingsTarget : public SettingsTarget {
  public:
    // `look` serves the integers and fonts (main window and reading window).
    DialogSettingsTarget(SettingsDialog& dialog, SettingsTarget& look)
        : dialog_(dialog), look_(look) {}

    std::vector<CheckEntry> Sections() const override;
    void SetSections(const std::vector<CheckEntry>& sections) override;
    std::int32_t Integer(IntControl control) const override { return look_.Integer(control); }
    void SetInteger(IntControl control, std::int32_t value) override {
        look_.SetInteger(control, value);
    }
    FontSpec Font(FontControl control) const override { return look_.Font(control); }
    void SetFont(FontControl control, const FontSpec& font) override {
        look_.SetFont(control, font);
    }
    std::string Text(TextControl control) const override;
    void SetText(TextControl control, const std::string& text) override;
    bool Flag(FlagControl control) const override;
    void SetFlag(FlagControl control, bool value) override;

  private:
    SettingsDialog& dialog_;
    SettingsTarget& look_;
};

}  // namespace orv::app
