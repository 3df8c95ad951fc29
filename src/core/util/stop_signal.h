#pragma once
// SIGTERM and SIGINT asking an unattended run to stop: the handler only notes the signal, and
// the run looks at it between its steps (a download read, an engine tick), so that the rows
// written stay, the packet in progress is not recorded and the run ends with a non-zero code.
#include <string>

namespace orv {

// Installs the handlers (once; later calls do nothing).
void CatchStopSignals();
// The signal received, 0 when none.
int StopSignal();
// "Обновление прервано сигналом SIGTERM."
std::string StopSignalText(int signal);
// The exit code of a run ended by `signal`: 128 + its number, as shells report it.
int StopSignalExitCode(int signal);

}  // namespace orv
