#include "net/packet_list.h"

#include <cstdint>

#include "util/text.h"

namespace orv {
namespace {

// The list is written in plain decimal: no sign, no blanks, no hexadecimal forms.
bool ParseDecimal(std::string_view s, std::int32_t& out) {
    if (s.empty() || s.size() > 9)
        return false;
    std::int32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<ServerPacket> ParsePacketList(std::string_view answer, const std::set<int>& installed) {
    std::vector<ServerPacket> list;
    std::string trimmed = Trim(answer);
    if (trimmed.empty())
        return list;
    for (const std::string& line : SplitLines(trimmed)) {
        size_t space = line.find(' ');
        if (space == std::string::npos)
            continue;
        std::int32_t number, size;
        std::string sizeText = line.substr(space + 1);
        if (!ParseDecimal(line.substr(0, space), number) || !ParseDecimal(sizeText, size))
            continue;
        if (number < 1)
            continue;
        ServerPacket p;
        p.number = number;
        p.sizeText = sizeText;
        p.size = size;
        p.installed = installed.count(number) > 0;
        p.marked = !p.installed;
        list.push_back(p);
    }
    return list;
}

int NewestPacketNumber(std::string_view answer) {
    std::vector<std::string> lines = SplitLines(Trim(answer));
    if (lines.empty())
        return 0;
    const std::string& last = lines.back();
    size_t space = last.find(' ');
    if (space == std::string::npos)
        return 0;
    std::int32_t n;
    return ParseDecimal(std::string_view(last).substr(0, space), n) ? n : 0;
}

}  // namespace orv
