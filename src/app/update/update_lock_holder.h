#pragma once
// The reference's update lock as this process holds it: the internet update's session and each
// packet the engine installs share one hold, so that an installation inside the session does
// not wait for the session's own lock, while another process (orvanta-cli update or apply, a
// second program on the same folder) is kept out.
#include <memory>
#include <string>

namespace orv {
class UpdateLock;
}

namespace orv::app {

// The lock of `dir`, taken unless this process holds it already; waits within the lock's bound,
// keeping the windows painted. Throws orv::Error(kUpdateBusy) when another process keeps it.
std::shared_ptr<UpdateLock> HoldUpdateLock(const std::string& dir);

}  // namespace orv::app
