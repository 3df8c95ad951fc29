#pragma once
// The controls that hold the user's settings while the program runs. Loading writes each stored
// value into its control and saving reads it back, so the windows implement this interface
// over their own widgets; there is no other copy of these values.
#include <cstdint>
#include <string>
#include <vector>

#include "util/stored_forms.h"

namespace orv {

// Integer values. Colours are 0x00BBGGRR as stored; system colours are negative
// (0xFF000000 | index, e.g. -16777211 for the window colour).
enum class IntControl {
    FullDisplayColor,  // background of the full-description window's text pane
    LeftPanelWidth,    // width of the main window's left panel, pixels
    ListColor,         // background of the preparation list
    ListWidth,         // width of the preparation list (kept, no visible effect)
};

enum class FontControl {
    ListFont,         // the preparation list
    FullDisplayFont,  // the full-description window's text pane
};

// Edits of the settings dialog's proxy group.
enum class TextControl { ProxyHost, ProxyPort, ProxyLogin, ProxyPassword };

// Check boxes of the settings dialog.
enum class FlagControl {
    CheckUpdates,  // "Проверять обновление при запуске"
    UseProxy,      // "Использовать прокси-сервер"
};

class SettingsTarget {
  public:
    virtual ~SettingsTarget() = default;

    // The section list of the settings dialog: captions and ticks in the user's order.
    virtual std::vector<CheckEntry> Sections() const = 0;
    virtual void SetSections(const std::vector<CheckEntry>& sections) = 0;

    virtual std::int32_t Integer(IntControl control) const = 0;
    virtual void SetInteger(IntControl control, std::int32_t value) = 0;

    virtual FontSpec Font(FontControl control) const = 0;
    virtual void SetFont(FontControl control, const FontSpec& font) = 0;

    virtual std::string Text(TextControl control) const = 0;
    virtual void SetText(TextControl control, const std::string& text) = 0;

    virtual bool Flag(FlagControl control) const = 0;
    virtual void SetFlag(FlagControl control, bool value) = 0;
};

}  // namespace orv
