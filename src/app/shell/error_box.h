#pragma once
// How the program reports errors: a message box captioned with the application title. Every
// error that ends a command arrives here, whether a command caught it itself (Guarded,
// RunReported) or it reached the event loop (Application::notify).
#include <QString>
#include <exception>
#include <functional>

class QMessageBox;
class QWidget;

namespace orv::app {

QString AppTitle();  // "Справочная система лекарственных препаратов"
QString MainCaption();  // the main window's caption

// The text as the error box shows it: a period is added unless the text already ends in a
// character at or below "." ("!", ")" and "." stay as they are). A text too long to read is
// cut first, so that no message can freeze the box while it lays the text out.
QString ErrorBoxText(const QString& message);
void ShowErrorBox(QWidget* parent, const QString& message);

// An error that reached the event loop: shown over the window the user works in. The same
// text failing again while its box is still open is logged, not stacked.
void ReportError(const QString& message);
QString ErrorText(const std::exception& e);

// Tests watch the error boxes through this: called with each box just before it runs.
void SetErrorBoxWatcher(std::function<void(QMessageBox&)> watcher);

// Inside a catch block: one log line saying what failed and why, for an error nobody is shown.
void LogSwallowed(const char* what) noexcept;

// Runs a command step whose error must not end the caller: shown in the error box.
template <class F>
void Guarded(QWidget* parent, F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        ShowErrorBox(parent, ErrorText(e));
    }
}

// Runs a handler that must not disturb the user: an error leaves one log line naming `what`.
template <class F>
void Quietly(const char* what, F&& f) noexcept {
    try {
        f();
    } catch (...) {
        LogSwallowed(what);
    }
}

}  // namespace orv::app
