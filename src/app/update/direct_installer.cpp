#include "update/direct_installer.h"

#include <QApplication>
#include <QMessageBox>

#include "display/description_controller.h"
#include "lists/lists_controller.h"
#include "shell/error_box.h"
#include "shell/main_window.h"
#include "shell/program_state.h"
#include "shell/wait_cursor.h"
#include "update/local_packets.h"
#include "update/packet_engine.h"

namespace orv::app {

DirectInstaller::DirectInstaller(ProgramState& state, MainWindow& main, Report report)
    : state_(state), main_(main), report_(std::move(report)) {}

void DirectInstaller::CheckUpdateFiles() {
    const std::vector<std::string> files =
        DuePacketFiles(state_.Ref().dir(), state_.lastPacket, state_.newestPacket);
    if (files.empty())
        return;
    if (!state_.background &&
        QMessageBox::question(&main_, QString::fromStdString(DuePacketsQuestionCaption(files[0])),
                              QString::fromUtf8(kDiskPacketsQuestion),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    for (const std::string& file : files) {
        if (!Install(file))
            break;  // the packets before the failing one stay installed
    }
}

bool DirectInstaller::Install(const std::string& path) {
    Reference& ref = state_.Ref();
    DataSet& q = ref.qMain;
    const std::string sql = q.Sql();
    Value id;
    const bool hadRow = q.Active() && !q.IsEmpty() && !q.Eof();
    if (hadRow)
        id = q.Field("id");
    WaitCursor wait;
    bool completed = false;
    try {
        q.SetSql("select * from b");
        auto run = ApplyPacket(ref, path);
        while (run->Running()) {
            run->Tick();
            QApplication::processEvents();
        }
        completed = run->state() == PacketRun::State::Completed;
        state_.lastPacket = run->Info().lastInstalled;
        if (completed)
            state_.totalPreparations = run->TotalPreparations();
    } catch (const PacketRefused& e) {
        state_.lastPacket = e.Info().lastInstalled;
        report_(QString::fromUtf8(e.what()));
    } catch (const std::exception& e) {
        report_(QString::fromUtf8(e.what()));
    }
    try {
        q.SetSql(sql);
        q.Open();
        if (hadRow)
            q.Locate("id", id);
    } catch (const std::exception& e) {
        report_(QString::fromUtf8(e.what()));
    }
    main_.lists->ListReopened();
    if (main_.isVisible())
        Quietly([this] { main_.description->gbAllClick(); });
    return completed;
}

}  // namespace orv::app
