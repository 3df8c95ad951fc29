#pragma once
// The editable source of a packet: UTF-8 JSON, one file per packet, that a content editor can
// write by hand (format in README.md), and its conversion to and from packet content.
#include <ostream>
#include <string>

#include "update/packet_file.h"

namespace orv {

// Parses a packet source (UTF-8 JSON text). Throws orv::Error naming the place of a fault;
// `origin` (a file name) prefixes the messages.
PacketContent PacketFromSource(const std::string& json, const std::string& origin = {});
// The packet source of packet content, pretty-printed.
std::string PacketToSource(const PacketContent& content);
// The same text written as it is made, one line object at a time.
void WritePacketSource(const PacketText& packet, std::ostream& out);

// Reads a source file and writes its packet file.
void PackFile(const std::string& sourcePath, const std::string& packetPath);

}  // namespace orv
