#pragma once
// A stop signal (SIGTERM, SIGINT) ending a command between two of its steps.
#include <memory>
#include <string>

#include "update/update_lock.h"
#include "util/error.h"
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

// The reference's update lock, waited for within its bound; a stop signal ends the wait.
inline std::unique_ptr<UpdateLock> TakeUpdateLock(const std::string& dir) {
    try {
        return UpdateLock::Acquire(dir, UpdateLockWait(), [] { return StopSignal() == 0; });
    } catch (const Error&) {
        ThrowIfStopped();
        throw;
    }
}

}  // namespace orv::cli
