#include "update/packet_core.h"

#include <QStringList>

#include "update/packet_engine.h"
#include "update/update_host.h"

namespace orv::app {

void PublishPackets(UpdateHost& host, const UpdInfo& info) {
    QStringList entries;
    for (const PacketListItem& p : info.packets)
        entries << QString::fromStdString(p.text);
    host.PacketsChanged(entries, info.lastInstalled);
}

void RefreshPackets(UpdateHost& host) {
    PublishPackets(host, InitUpd(host.reference()));
}

}  // namespace orv::app
