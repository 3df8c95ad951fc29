#include "app/update/packet_core.h"

#include <QStringList>

#include "app/update/update_host.h"
#include "update/packet_engine.h"

namespace orv::app {

void PublishPackets(UpdateHost& host, const UpdInfo& info) {
    QStringList entries;
    for (const PacketListItem& p : info.packets)
        entries << QString::fromStdString(p.text);
    host.PacketsChanged(entries, info.lastInstalled);
}

void RefreshPackets(UpdateHost& host) {
    PublishPackets(host, InitUpd(host.Ref()));
}

}  // namespace orv::app
