#pragma once
// The packet windows' calls into the core packet engine, in one place.
#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace orv {
class Reference;
}

namespace orv::app {

class UpdateHost;

// One packet being applied, tick by tick.
class RunningPacket {
  public:
    virtual ~RunningPacket() = default;
    virtual int Number() const = 0;
    // Applies the work of one tick; true when every line has been processed. Throws orv::Error
    // when a line fails.
    virtual bool Step() = 0;
    virtual int Percent() const = 0;
    // Records the packet as applied.
    virtual void Complete() = 0;
};

// Checks the packet file and prepares its run; throws orv::Error with the refusal message.
std::unique_ptr<RunningPacket> StartPacket(Reference& ref, const std::string& path);

// Re-reads the applied packets into the main window (packet list, last installed number).
void RefreshPacketList(UpdateHost& host);

struct PacketStat {
    int number = 0;
    QString appliedAt;
    int rows = 0;
};
// The statistics routine: upgrades an old schema first, refreshes the packet list, and returns
// every applied packet with the number of preparations it last changed.
std::vector<PacketStat> CollectPacketStatistics(UpdateHost& host);

// Packet files D + N + ".pckt" for N = last + 1 ... newest, up to the first one missing.
std::vector<std::string> DuePacketFiles(const std::string& dir, int last, int newest);

// Opens the main list on the preparations that packet `number` changed last.
void OpenPacketRows(Reference& ref, int number);

}  // namespace orv::app
