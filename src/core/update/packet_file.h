#pragma once
// The update packet file: one zlib stream whose text (windows-1251) has four sections
// separated by 0x01 (number, preparations, manufacturers, groups), lines separated by 0x02
// and fields by 0x03.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/error.h"

namespace orv {

inline constexpr char kSectionSeparator = '\x01';
inline constexpr char kLineSeparator = '\x02';
inline constexpr char kFieldSeparator = '\x03';

// Larger packets are refused rather than inflated into memory without bound. The whole
// reference of about 100,000 preparations is some 250 MB of text and the largest generated
// load packet (300,000) some 760 MB, so 1 GiB refuses nothing real.
inline constexpr size_t kMaxPacketTextBytes = size_t{1} << 30;
// Packet text (descriptions in windows-1251) shrinks 5-10 times in zlib; a file that grows
// more than 50 times is a bomb, not a packet, and is refused once that much has come out.
// Below 64 MB no ratio is asked: a small packet of ids or marks may pack much tighter.
inline constexpr size_t kMaxPacketInflation = 50;
inline constexpr size_t kPacketTextFreeBytes = size_t{64} << 20;

// A packet file that cannot be what it claims: not zlib data, cut short, too large, or a text
// without the packet structure. Another copy of the same packet may well be sound.
class PacketDamaged : public Error {
  public:
    using Error::Error;
};

// Reads and inflates the file at `path` into the packet text, allocating it once at its final
// size (after a pass that only counts, so that a bomb allocates nothing). Throws orv::Error
// with "Файл PATH не найден!" when there is no file, and PacketDamaged with "Error" when it is
// not zlib data, or a message of its own when the stream ends early, the text is larger than
// `maxBytes` or it grows more than kMaxPacketInflation times the file.
std::string ReadPacketText(const std::string& path, size_t maxBytes = kMaxPacketTextBytes);

struct PacketContent {
    int number = 0;
    std::vector<std::string> preparations;   // lines of table b
    std::vector<std::string> manufacturers;  // lines of table i
    std::vector<std::string> groups;         // lines of table g
};

// Splits the packet text and checks the section count and the number ("7 ..." / "8 ...",
// thrown as PacketDamaged).
PacketContent ParsePacketText(const std::string& text);

// The lines of one section, read one after the other without copying them.
class SectionLines {
  public:
    SectionLines() = default;
    explicit SectionLines(std::string_view text);
    size_t Count() const { return count_; }  // an empty section is one empty line
    size_t Index() const { return index_; }  // 0-based index of Current()
    std::string_view Current() const { return current_; }
    bool AtLast() const { return index_ + 1 >= count_; }
    void Advance();  // to the next line; stays on the last one

  private:
    std::string_view text_;
    std::string_view current_;
    size_t next_ = 0;  // offset after Current()'s separator
    size_t index_ = 0;
    size_t count_ = 1;
};

// A packet text checked for its structure, holding the text itself and views into it.
struct PacketText {
    std::string text;
    int number = 0;
    // Offsets into `text`, not views: a short text lives inside the string object and moves
    // with it, which would leave views pointing at the old object.
    struct Span {
        size_t at = 0, size = 0;
    };
    Span spans[3];  // preparations, manufacturers, groups

    std::string_view Section(int s) const {
        return std::string_view(text).substr(spans[s].at, spans[s].size);
    }
};
// Checks the structure as ParsePacketText does; no line is copied.
PacketText ParsePacketView(std::string text);

// Checks that the file at `path` is a whole packet and, when `number` > 0, that it carries
// packet `number`, without keeping its text. Returns the reason it is not (empty when sound).
std::string PacketFileDamage(const std::string& path, int number = 0);

// The packet text of the given content (lines joined as they are).
std::string BuildPacketText(const PacketContent& content);

// Compresses the text into a zlib stream and writes it to `path` (replacing the file).
void WritePacketFile(const std::string& path, const std::string& text, int level = 9);

}  // namespace orv
