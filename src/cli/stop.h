#pragma once
// A stop signal (SIGTERM, SIGINT) ending a command between two of its steps.
#include "util/stop_signal.h"

namespace orv::cli {

// Thrown when a command ends because of a stop signal; orvanta-cli exits with 128 + signal.
struct Stopped {
    int signal;
};

inline void ThrowIfStopped() {
    if (int s = StopSignal())
        throw Stopped{s};
}

}  // namespace orv::cli
