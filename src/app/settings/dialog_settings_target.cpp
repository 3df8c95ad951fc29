#include "app/settings/dialog_settings_target.h"

#include <QCheckBox>
#include <QLineEdit>

#include "app/settings/settings_dialog.h"

namespace orv::app {

namespace {
QLineEdit* Edit(SettingsDialog& d, TextControl c) {
    switch (c) {
        case TextControl::ProxyHost:
            return d.proxy;
        case TextControl::ProxyPort:
            return d.port;
        case TextControl::ProxyLogin:
            return d.Edit1;
        case TextControl::ProxyPassword:
            return d.Edit2;
    }
    return d.proxy;
}
QCheckBox* Box(SettingsDialog& d, FlagControl c) {
    return c == FlagControl::UseProxy ? d.CB1 : d.tCheckUp;
}
}  // namespace

std::vector<CheckEntry> DialogSettingsTarget::Sections() const {
    return dialog_.Items();
}

void DialogSettingsTarget::SetSections(const std::vector<CheckEntry>& sections) {
    dialog_.SetItems(sections);
}

std::string DialogSettingsTarget::Text(TextControl control) const {
    return Edit(dialog_, control)->text().toStdString();
}

void DialogSettingsTarget::SetText(TextControl control, const std::string& text) {
    // Replacing a different text runs the edit's change handler, as typing would.
    Edit(dialog_, control)->setText(QString::fromStdString(text));
}

bool DialogSettingsTarget::Flag(FlagControl control) const {
    return Box(dialog_, control)->isChecked();
}

void DialogSettingsTarget::SetFlag(FlagControl control, bool value) {
    Box(dialog_, control)->setChecked(value);
}

}  // namespace orv::app
