#pragma once
// How the program reports errors: a message box captioned with the application title.
#include <QString>
#include <exception>

class QWidget;

namespace orv::app {

QString AppTitle();  // "Справочная система лекарственных препаратов"
QString MainCaption();  // the main window's caption

// The text as the error box shows it: a period is added unless the text already ends in a
// character at or below "." ("!", ")" and "." stay as they are).
QString ErrorBoxText(const QString& message);
void ShowErrorBox(QWidget* parent, const QString& message);

// Runs a command; an error ends it and is shown in the error box.
template <class F>
void Guarded(QWidget* parent, F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        ShowErrorBox(parent, QString::fromUtf8(e.what()));
    }
}

// Runs a handler that must not disturb the user: errors are swallowed.
template <class F>
void Quietly(F&& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

}  // namespace orv::app
