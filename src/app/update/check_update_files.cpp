#include "app/update/check_update_files.h"

#include <QMessageBox>
#include <filesystem>

#include "app/shell/wait_cursor.h"
#include "app/update/list_wrap.h"
#include "app/update/packet_run_window.h"
#include "app/update/update_host.h"
#include "app/update/update_texts.h"
#include "db/reference.h"
#include "update/local_packets.h"
#include "update/packet_file.h"

namespace orv::app {

void CheckUpdateFiles(UpdateHost& host, PacketRunWindow& engine) {
    const int last = host.LastInstalledPacket();
    const int newest = host.NewestAvailablePacket();
    const std::vector<std::string> files = DuePacketFiles(host.Ref().Dir(), last, newest);
    if (files.empty())
        return;
    if (!host.BackgroundMode()) {
        const auto answer = QMessageBox::question(
            host.Window(), QString::fromStdString(DuePacketsQuestionCaption(files.front())),
            QString::fromUtf8(kDiskPacketsQuestion), QMessageBox::Yes | QMessageBox::No,
            QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }
    for (const std::string& file : files) {
        // A damaged copy would fail on every run: kept aside, the internet update fetches it.
        const int number = std::stoi(std::filesystem::path(file).stem().string());
        const std::string damage = PacketFileDamage(file, number);
        if (!damage.empty()) {
            SetDamagedPacketAside(file);
            if (!host.BackgroundMode()) {
                QMessageBox::warning(host.Window(), QString::fromUtf8(kUpdateWindowCaption),
                                     QString::fromStdString(DamagedPacketNote(number, damage)));
            }
            break;
        }
        PacketRunWindow::Outcome outcome;
        {
            ListWrap wrap(host);
            outcome = engine.Run(QString::fromStdString(file));
            wrap.Restore();
        }
        host.ShowCurrentDescription();
        if (outcome != PacketRunWindow::Outcome::Completed)
            break;  // the packets before the failing one stay installed
    }
}

}  // namespace orv::app
