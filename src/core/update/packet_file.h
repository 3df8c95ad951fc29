#pragma once
// The update packet file: one zlib stream whose text (windows-1251) has four sections
// separated by 0x01 (number, preparations, manufacturers, groups), lines separated by 0x02
// and fields by 0x03.
#include <string>
#include <vector>

namespace orv {

inline constexpr char kSectionSeparator = '\x01';
inline constexpr char kLineSeparator = '\x02';
inline constexpr char kFieldSeparator = '\x03';

// Larger packets are refused rather than inflated into memory without bound.
inline constexpr size_t kMaxPacketTextBytes = size_t{1} << 30;

// Reads and inflates the file at `path` into the packet text. Throws orv::Error with
// "Файл PATH не найден!" when there is no file, "Error" when it is not zlib data, and a
// message of its own when the stream ends early or the text is too large.
std::string ReadPacketText(const std::string& path, size_t maxBytes = kMaxPacketTextBytes);

struct PacketContent {
    int number = 0;
    std::vector<std::string> preparations;   // lines of table b
    std::vector<std::string> manufacturers;  // lines of table i
    std::vector<std::string> groups;         // lines of table g
};

// Splits the packet text and checks the section count and the number ("7 ..." / "8 ...").
PacketContent ParsePacketText(const std::string& text);

// The packet text of the given content (lines joined as they are).
std::string BuildPacketText(const PacketContent& content);

// Compresses the text into a zlib stream and writes it to `path` (replacing the file).
void WritePacketFile(const std::string& path, const std::string& text, int level = 9);

}  // namespace orv
