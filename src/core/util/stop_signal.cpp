#include "util/stop_signal.h"

#include <csignal>

namespace orv {

namespace {
volatile std::sig_atomic_t g_signal = 0;

extern "C" void OnStopSignal(int signal) {
    g_signal = signal;
}
}  // namespace

void CatchStopSignals() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGINT, OnStopSignal);
}

int StopSignal() {
    return g_signal;
}

std::string StopSignalText(int signal) {
    const char* name = signal == SIGTERM ? "SIGTERM" : signal == SIGINT ? "SIGINT" : nullptr;
    return "Обновление прервано сигналом " +
           (name != nullptr ? std::string(name) : std::to_string(signal)) + ".";
}

int StopSignalExitCode(int signal) {
    return 128 + signal;
}

}  // namespace orv
