#include "update/update_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "util/error.h"

namespace orv {

namespace {
int OpenLockFile(const std::string& dir) {
    const std::string path = dir + kUpdateLockName;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw Error("Не удалось открыть " + path + ": " + std::strerror(errno));
    return fd;
}
}  // namespace

UpdateLock::~UpdateLock() {
    ::close(fd_);  // closing the descriptor lets the lock go
}

std::unique_ptr<UpdateLock> UpdateLock::TryAcquire(const std::string& dir) {
    const int fd = OpenLockFile(dir);
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return std::unique_ptr<UpdateLock>(new UpdateLock(fd));
    const int err = errno;
    ::close(fd);
    if (err != EWOULDBLOCK)
        throw Error("Не удалось заблокировать " + dir + kUpdateLockName + ": " +
                    std::strerror(err));
    return nullptr;
}

std::unique_ptr<UpdateLock> UpdateLock::Acquire(const std::string& dir,
                                                std::chrono::milliseconds wait,
                                                const std::function<bool()>& keepWaiting) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (auto lock = TryAcquire(dir))
            return lock;
        if (std::chrono::steady_clock::now() >= deadline || (keepWaiting && !keepWaiting()))
            throw Error(kUpdateBusy);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

std::chrono::milliseconds UpdateLockWait() {
    if (const char* v = std::getenv("ORVANTA_UPDATE_LOCK_SECONDS")) {
        char* end = nullptr;
        const long seconds = std::strtol(v, &end, 10);
        if (end != v && *end == '\0' && seconds >= 0 && seconds <= 3600)
            return std::chrono::seconds(seconds);
    }
    return std::chrono::seconds(10);
}

}  // namespace orv
