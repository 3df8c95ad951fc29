#pragma once
// Hands what the core knows about applied packets to the main window.
namespace orv {
struct UpdInfo;
}

namespace orv::app {

class UpdateHost;

// The packet list of the search page and the last installed number.
void PublishPackets(UpdateHost& host, const UpdInfo& info);
// InitUpd: re-reads the applied packets and publishes them.
void RefreshPackets(UpdateHost& host);

}  // namespace orv::app
