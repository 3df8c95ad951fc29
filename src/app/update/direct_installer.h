#pragma once
// The packet installer driving the engine run itself: the list wrapped, the run ticked on the
// UI thread with the window kept alive, errors reported through the given function.
#include <QString>
#include <functional>

#include "update/packet_installer.h"

namespace orv::app {

struct ProgramState;
class MainWindow;

class DirectInstaller : public PacketInstaller {
  public:
    using Report = std::function<void(const QString&)>;
    DirectInstaller(ProgramState& state, MainWindow& main, Report report);

    void CheckUpdateFiles() override;
    bool Install(const std::string& path) override;

  private:
    ProgramState& state_;
    MainWindow& main_;
    Report report_;
};

}  // namespace orv::app
