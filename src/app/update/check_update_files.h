#pragma once
// Offers and installs the packet files lying in the program folder that follow the last
// installed packet, up to the newest available one.
namespace orv::app {

class PacketRunWindow;
class UpdateHost;

void CheckUpdateFiles(UpdateHost& host, PacketRunWindow& engine);

}  // namespace orv::app
