#include "app/update/update_check.h"

#include <QMessageBox>

#include "app/shell/program_state.h"
#include "app/update/inet_update_window.h"
#include "app/update/update_texts.h"
#include "net/list_request.h"
#include "net/net_texts.h"
#include "net/server_address.h"
#include "settings/settings_target.h"
#include "update/packet_engine.h"

namespace orv::app {

UpdateCheck::UpdateCheck(ProgramState& state, const SettingsTarget& settings, QObject* parent)
    : QObject(parent), state_(state), settings_(settings) {
    checku.setInterval(1000);
    checku.setSingleShot(true);
    connect(&checku, &QTimer::timeout, this, [this] { checkuTimer(); });
}

int UpdateCheck::checkup() {
    checku.stop();
    failure.clear();
    try {
        const NewestCheck check = CheckNewest(UpdateServerAddress(), ProxyFromSettings(settings_));
        failure = check.failure;
        return check.newest;
    } catch (const std::exception& e) {
        failure = e.what();
        return 0;
    }
}

void UpdateCheck::Arm() {
    checku.start();
}

void UpdateCheck::checkuTimer() {
    checku.stop();
    // With no server set there is nothing to check, and so no failed check to report.
    const bool checkOn =
        settings_.Flag(FlagControl::CheckUpdates) && !UpdateServerAddress().empty();
    if (state_.HasReference()) {
        try {
            state_.lastPacket = InitUpd(state_.Ref()).lastInstalled;
        } catch (...) {
        }
    }
    if (state_.lastPacket < state_.newestPacket && checkOn) {
        if (state_.background) {
            if (runUnseen)
                runUnseen();
        } else if (QMessageBox::question(dialogParent, QStringLiteral("Обновление"),
                                         QString::fromUtf8(kNewPacketsQuestion),
                                         QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            if (openUpdate)
                openUpdate();
        }
        return;
    }
    if (state_.background) {
        // A check that failed leaves the reference stale: the scheduler must see a failure.
        if (endProgram)
            endProgram(state_.newestPacket == 0 && checkOn ? 1 : 0);
        return;
    }
    if (state_.newestPacket == 0 && checkOn &&
        QMessageBox::question(dialogParent, QStringLiteral("Обновление"),
                              QString::fromUtf8(kCheckFailedQuestion),
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        if (openSettings)
            openSettings();
    }
}

}  // namespace orv::app
