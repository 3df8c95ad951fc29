#include "settings/settings_bridge.h"

#include "shell/program_state.h"

namespace orv::app {

// The settings store arrives with the core's settings library; until then the controls keep
// their built-in defaults and nothing is written.
void OpenSettings(ProgramState&, MainWindow&, FullDescriptionWindow&) {}

void SaveSettings(ProgramState&, MainWindow&, FullDescriptionWindow&) {}

}  // namespace orv::app
