#include "app/settings/window_settings.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QPlainTextEdit>
#include <QSplitter>

#include "app/display/full_description_window.h"
#include "app/lists/list_views.h"
#include "app/shell/main_window.h"

namespace orv::app {

namespace {
enum ColourSlot { kListColour, kListText, kReadingColour, kReadingText };
}

QColor ColourFromStored(std::int32_t stored) {
    if (stored < 0) {
        const QPalette pal = QApplication::palette();
        switch (stored & 0xFF) {
            case 5:
                return pal.color(QPalette::Base);  // window
            case 8:
                return pal.color(QPalette::Text);  // window text
            case 15:
                return pal.color(QPalette::Button);
            case 18:
                return pal.color(QPalette::ButtonText);
            default:
                return pal.color(QPalette::Window);
        }
    }
    return QColor(stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF);
}

std::int32_t StoredFromColour(const QColor& c) {
    return (c.blue() << 16) | (c.green() << 8) | c.red();
}

QFont FontFromSpec(const FontSpec& stored) {
    QFont f(QString::fromStdString(stored.name));
    if (stored.size > 0)
        f.setPointSize(stored.size);
    f.setBold(stored.bold);
    f.setItalic(stored.italic);
    f.setUnderline(stored.underline);
    f.setStrikeOut(stored.strikeOut);
    return f;
}

FontSpec SpecFromFont(const QFont& font, std::int32_t storedColour) {
    FontSpec stored;
    stored.name = font.family().toStdString();
    stored.size = font.pointSize() > 0 ? font.pointSize() : 8;
    stored.bold = font.bold();
    stored.italic = font.italic();
    stored.underline = font.underline();
    stored.strikeOut = font.strikeOut();
    stored.color = storedColour;
    return stored;
}

WindowSettings::WindowSettings(MainWindow& main, FullDescriptionWindow& reading)
    : main_(main), reading_(reading) {
    // The reading window starts in system colours: stored as such, not as their values now.
    if (reading_.TextColour() == ColourFromStored(kWindowColor))
        colours_[kReadingColour] = {kWindowColor, reading_.TextColour()};
    const QColor text = reading_.Memo1->palette().color(QPalette::Text);
    if (text == ColourFromStored(kWindowTextColor))
        colours_[kReadingText] = {kWindowTextColor, text};
}

std::int32_t WindowSettings::Remembered(int slot, const QColor& now, std::int32_t fallback) const {
    auto it = colours_.find(slot);
    if (it != colours_.end() && it->second.second == now)
        return it->second.first;
    return now.isValid() ? StoredFromColour(now) : fallback;
}

std::vector<CheckEntry> WindowSettings::Sections() const {
    return held_.Sections();
}

void WindowSettings::SetSections(const std::vector<CheckEntry>& sections) {
    held_.SetSections(sections);
}

std::int32_t WindowSettings::Integer(IntControl control) const {
    switch (control) {
        case IntControl::FullDisplayColor:
            return Remembered(kReadingColour, reading_.TextColour(), kWindowColor);
        case IntControl::LeftPanelWidth:
            return main_.LeftPaneWidth();
        case IntControl::ListColor:
            return Remembered(kListColour, main_.gbAll->ListColour(), 15532029);
        case IntControl::ListWidth:
            return held_.Integer(control);
    }
    return 0;
}

void WindowSettings::SetInteger(IntControl control, std::int32_t value) {
    switch (control) {
        case IntControl::FullDisplayColor:
            reading_.SetTextColour(ColourFromStored(value));
            colours_[kReadingColour] = {value, reading_.TextColour()};
            break;
        case IntControl::LeftPanelWidth:
            main_.SetLeftPaneWidth(value);
            break;
        case IntControl::ListColor:
            main_.gbAll->SetListColour(ColourFromStored(value));
            colours_[kListColour] = {value, main_.gbAll->ListColour()};
            break;
        case IntControl::ListWidth:
            held_.SetInteger(control, value);
            break;
    }
}

FontSpec WindowSettings::Font(FontControl control) const {
    if (control == FontControl::ListFont)
        return SpecFromFont(main_.gbAll->font(),
                            Remembered(kListText, main_.gbAll->palette().color(QPalette::Text), 0));
    return SpecFromFont(reading_.TextFont(),
                        Remembered(kReadingText, reading_.Memo1->palette().color(QPalette::Text),
                                   kWindowTextColor));
}

void WindowSettings::SetFont(FontControl control, const FontSpec& font) {
    const QColor colour = ColourFromStored(font.color);
    QWidget* widget = control == FontControl::ListFont ? static_cast<QWidget*>(main_.gbAll)
                                                       : static_cast<QWidget*>(reading_.Memo1);
    widget->setFont(FontFromSpec(font));
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Text, colour);
    widget->setPalette(pal);
    colours_[control == FontControl::ListFont ? kListText : kReadingText] = {font.color, colour};
}

std::string WindowSettings::Text(TextControl control) const {
    return held_.Text(control);
}

void WindowSettings::SetText(TextControl control, const std::string& text) {
    held_.SetText(control, text);
}

bool WindowSettings::Flag(FlagControl control) const {
    return held_.Flag(control);
}

void WindowSettings::SetFlag(FlagControl control, bool value) {
    held_.SetFlag(control, value);
}

}  // namespace orv::app
