#include "app/update/update_lock_holder.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "update/update_lock.h"

namespace orv::app {

std::shared_ptr<UpdateLock> HoldUpdateLock(const std::string& dir) {
    // One hold per process: the kernel's lock is per open file, so a second open would refuse
    // the process its own lock.
    static std::weak_ptr<UpdateLock> held;
    static std::string heldDir;
    if (auto lock = held.lock(); lock && heldDir == dir)
        return lock;
    std::shared_ptr<UpdateLock> lock = UpdateLock::Acquire(dir, UpdateLockWait(), [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    });
    held = lock;
    heldDir = dir;
    return lock;
}

}  // namespace orv::app
