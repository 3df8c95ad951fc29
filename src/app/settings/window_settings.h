#pragma once
// The windows' side of the settings: each stored value lives in the control that uses it (list
// font and colour, left pane width, reading window font and colour). Values whose controls
// belong to the settings dialog are held here until that dialog takes them over.
#include <QColor>
#include <map>

#include "settings/settings_target.h"
#include "settings/settings_values.h"

class QFont;

namespace orv::app {

class MainWindow;
class FullDescriptionWindow;

// Stored colours are 0x00BBGGRR; negative ones name a system colour.
QColor ColourFromStored(std::int32_t stored);
std::int32_t StoredFromColour(const QColor& colour);
QFont FontFromSpec(const FontSpec& stored);
FontSpec SpecFromFont(const QFont& font, std::int32_t storedColour);

class WindowSettings : public SettingsTarget {
  public:
    WindowSettings(MainWindow& main, FullDescriptionWindow& reading);

    std::vector<CheckEntry> Sections() const override;
    void SetSections(const std::vector<CheckEntry>& sections) override;
    std::int32_t Integer(IntControl control) const override;
    void SetInteger(IntControl control, std::int32_t value) override;
    FontSpec Font(FontControl control) const override;
    void SetFont(FontControl control, const FontSpec& font) override;
    std::string Text(TextControl control) const override;
    void SetText(TextControl control, const std::string& text) override;
    bool Flag(FlagControl control) const override;
    void SetFlag(FlagControl control, bool value) override;

  private:
    // A colour keeps its stored form (a system colour stays one) while the user leaves it as is.
    std::int32_t Remembered(int slot, const QColor& now, std::int32_t fallback) const;

    MainWindow& main_;
    FullDescriptionWindow& reading_;
    SettingsValues held_;
    std::map<int, std::pair<std::int32_t, QColor>> colours_;
};

}  // namespace orv::app
