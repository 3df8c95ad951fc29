#pragma once
// What the internet update needs of the packet engine's window: the packets already on disk
// offered and installed, and one packet file installed with the main list wrapped around it.
#include <string>

namespace orv::app {

class PacketInstaller {
  public:
    virtual ~PacketInstaller() = default;
    // Packet files in the program folder after the last installed one, up to the newest
    // available: asked about once (not in the background), then installed in order.
    virtual void CheckUpdateFiles() = 0;
    // Runs the packet file to its end (modal in the foreground, unseen in the background).
    // A refused packet, a failing line or a stop is reported to the user here; false then.
    virtual bool Install(const std::string& path) = 0;
};

}  // namespace orv::app
