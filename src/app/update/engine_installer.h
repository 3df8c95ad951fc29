#pragma once
// The packet installer over the packet engine's window: the disk packets offered as the update
// window does, each packet run with the main list wrapped around it.
#include "app/update/packet_installer.h"

namespace orv::app {

class UpdateHost;
class PacketRunWindow;

class EngineInstaller : public PacketInstaller {
  public:
    EngineInstaller(UpdateHost& host, PacketRunWindow& engine) : host_(host), engine_(engine) {}

    void CheckUpdateFiles() override;
    bool Install(const std::string& path) override;

  private:
    UpdateHost& host_;
    PacketRunWindow& engine_;
};

}  // namespace orv::app
