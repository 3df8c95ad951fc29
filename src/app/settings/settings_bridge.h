#pragma once
// Loading the user's settings into the windows and saving them back. The settings store of
// the core decides keys and encodings; the windows only hand over their controls' values.
namespace orv::app {

struct ProgramState;
class MainWindow;
class FullDescriptionWindow;

// OpenSettings: the stored values into the controls (start-up).
void OpenSettings(ProgramState& state, MainWindow& main, FullDescriptionWindow& reading);
// SaveSettings: the controls' values into the store (closing the main window).
void SaveSettings(ProgramState& state, MainWindow& main, FullDescriptionWindow& reading);

}  // namespace orv::app
