#pragma once
// A folder of packet files as the update server presents it: which files count as packets, the
// list answer (mode=0) made from them, and publishing that answer as a file for a static web
// server, so that `serve` and a mirror behind nginx answer the same bytes.
//
//   PublishMirror("/srv/orvanta-mirror", "/srv/incoming");  // copies new packets, then the list
//   // /srv/orvanta-mirror/list.txt == ListAnswer("/srv/orvanta-mirror")
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The list answer as a file beside the packets.
inline constexpr const char* kMirrorListFile = "list.txt";

// The packet number of a file name "N.pckt" (N decimal, 1..999999999, no leading zero); 0 for
// any other name.
int PacketNumberOfName(std::string_view fileName);

// The `mode` of a request: 0 (the list) or a packet number, written as the program writes it
// ("0", or digits without a leading zero, at most 9). Anything else is not a request of ours.
std::optional<int> ParseRequestMode(std::string_view text);

struct MirrorPacket {
    int number = 0;
    std::uintmax_t size = 0;
};

// The packets of the folder: plain files named N.pckt (a symbolic link is not one, so nothing
// outside the folder is ever listed or served), ascending.
std::vector<MirrorPacket> FolderPackets(const std::filesystem::path& root);

// The list answer: "N size\r\n" per packet, ascending.
std::string ListAnswerText(const std::vector<MirrorPacket>& packets);
std::string ListAnswer(const std::filesystem::path& root);

struct PublishResult {
    int copied = 0;        // packets brought in from the source folder
    std::string listText;  // what list.txt now holds
    std::vector<MirrorPacket> packets;
};

// Copies each N.pckt of `from` that `root` lacks or holds with other bytes, then rewrites
// root/list.txt. Every file is written under a temporary name and renamed into place, packets
// before the list, so a reader sees the old list or the new one and every listed packet is
// whole. Throws orv::Error.
PublishResult PublishMirror(const std::filesystem::path& root,
                            const std::optional<std::filesystem::path>& from = std::nullopt);

// Writes `bytes` to `target` through a temporary file in the same folder, flushed to disk
// before the rename. Throws orv::Error.
void ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// A text from outside (a file or a request) made fit for one line of a message or a log:
// control characters escaped, cut at about 100 characters with "…".
std::string TextForLog(std::string_view text, size_t maxChars = 100);

}  // namespace orv
