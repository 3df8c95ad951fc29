#pragma once
// Packet files in the program folder and the history of applied packets: what does not need a
// window of the update and packet-list windows.
#include <string>
#include <vector>

#include "db/reference.h"
#include "update/packet_engine.h"

namespace orv {

// dir + N + ".pckt" (dir ends with a slash).
std::string PacketFilePath(const std::string& dir, int number);

// The packet files due for installation with L installed and M the newest available: the
// files L+1, L+2, ... up to M, stopping at the first missing one. Empty when L >= M.
std::vector<std::string> DuePacketFiles(const std::string& dir, int lastInstalled,
                                        int newestAvailable);
// A packet file in the program folder that cannot be installed as it is (cut short, garbage,
// another packet) is kept as evidence under N.pckt.bad, replacing an older one, so that the
// packet is fetched again. Returns the new path; throws orv::Error when it cannot be moved.
std::string SetDamagedPacketAside(const std::string& path);
// What the user and the log are told then.
std::string DamagedPacketNote(int number, const std::string& damage);

// Caption of the question about them: "Пакет обновления " + the first file's name.
std::string DuePacketsQuestionCaption(const std::string& firstFile);

struct PacketHistoryRow {
    int id = 0;
    double dt = 0;
    std::string dtText;    // as the list shows it
    int preparations = 0;  // preparations this packet changed last
};

struct PacketHistory {
    std::vector<PacketHistoryRow> rows;  // ascending id
    UpdInfo upd;                         // packet selector items and last installed number
};

// The packet statistics routine: upgrade if needed, then every applied packet with the number
// of preparations it last changed.
PacketHistory CollectPacketStatistics(Reference& ref);

// "В базе N записей."
std::string TotalRecordsText(int total);
// "Показать пакет обновления №N?"
std::string ShowPacketQuestion(int number);
// The list statement of one packet's preparations.
std::string PacketListSql(int number);

}  // namespace orv
