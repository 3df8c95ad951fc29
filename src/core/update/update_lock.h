#pragma once
// One update of a reference at a time: a lock file "update.lock" beside source.bin, held by the
// desktop program's internet update and by orvanta-cli update and apply for as long as they
// download or install. Two runs writing the same upd.pckt, or two engines applying packets to
// one file, are refused instead. The lock is the kernel's (flock): a run that dies frees it.
//
//   auto lock = UpdateLock::Acquire(ref.Dir(), UpdateLockWait(), [] { return !StopSignal(); });
//   ... download and install ...
//   // released when `lock` goes away
#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace orv {

inline constexpr const char* kUpdateLockName = "update.lock";
inline constexpr const char* kUpdateBusy =
    "Справочник уже обновляется (другая копия программы или orvanta-cli); дождитесь окончания "
    "того обновления.";

class UpdateLock {
  public:
    ~UpdateLock();
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

    // Takes the lock of `dir` (ends with a slash), waiting at most `wait` for another holder to
    // let go; `keepWaiting` is asked between tries (a stop signal gives up at once). Throws
    // orv::Error(kUpdateBusy) when the lock stays taken, or the file system's error.
    static std::unique_ptr<UpdateLock> Acquire(const std::string& dir,
                                               std::chrono::milliseconds wait,
                                               const std::function<bool()>& keepWaiting = {});
    // Without waiting: nullptr when another holder has it.
    static std::unique_ptr<UpdateLock> TryAcquire(const std::string& dir);

  private:
    explicit UpdateLock(int fd) : fd_(fd) {}
    int fd_;
};

// How long a run waits for another one: 10 s, or ORVANTA_UPDATE_LOCK_SECONDS.
std::chrono::milliseconds UpdateLockWait();

}  // namespace orv
