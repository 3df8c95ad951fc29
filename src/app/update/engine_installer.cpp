#include "app/update/engine_installer.h"

#include <QString>

#include "app/update/check_update_files.h"
#include "app/update/list_wrap.h"
#include "app/update/packet_run_window.h"
#include "app/update/update_host.h"

namespace orv::app {

void EngineInstaller::CheckUpdateFiles() {
    app::CheckUpdateFiles(host_, engine_);
}

bool EngineInstaller::Install(const std::string& path) {
    PacketRunWindow::Outcome outcome;
    {
        ListWrap wrap(host_);
        outcome = engine_.Run(QString::fromStdString(path));
        wrap.Restore();
    }
    host_.ShowCurrentDescription();
    return outcome == PacketRunWindow::Outcome::Completed;
}

}  // namespace orv::app
