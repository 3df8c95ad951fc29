#pragma once
// The server's packet list: one line "N size" per packet, ascending.
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

struct ServerPacket {
    int number = 0;
    std::string sizeText;    // as the server wrote it
    int size = 0;            // bytes
    bool installed = false;  // recorded in `packets`
    bool marked = false;     // to be fetched and installed: exactly when not installed
};

// Trims the answer, splits it at CR, LF or CR LF and keeps the lines "number size" whose two
// parts are decimal numbers (at most 9 digits); packet number 0 is skipped as well.
std::vector<ServerPacket> ParsePacketList(std::string_view answer,
                                          const std::set<int>& installed = {});

// The list of an answer that must name at least one packet: throws orv::Error quoting what the
// server answered (cut to about 100 characters) when it is empty or no line is a packet.
std::vector<ServerPacket> RequirePacketList(std::string_view answer,
                                            const std::set<int>& installed = {});
// The beginning of a server's answer as one readable line: control characters as spaces, bytes
// that are not UTF-8 read as windows-1251, cut to `limit` characters with "…".
std::string QuoteAnswer(std::string_view answer, size_t limit = 100);

// The start-up check's reading: the integer before the first space of the last line, 0 when
// the answer does not give one.
int NewestPacketNumber(std::string_view answer);

// "Пометить все" passes over the packets already installed and says which:
// "Пакеты №1–4 уже установлены и пропущены." (runs of numbers joined, cut to about 100
// characters); empty when there are none.
std::string PassedOverNote(const std::vector<int>& installed);

// Lines of a text separated by CR, LF or CR LF.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace orv
