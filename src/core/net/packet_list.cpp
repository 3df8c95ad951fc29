#include "net/packet_list.h"

#include <cstdint>

#include "util/cp1251.h"
#include "util/error.h"
#include "util/message_text.h"
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

namespace {
// Length of the UTF-8 sequence starting at s[i], 0 when it is not one.
size_t Utf8Length(std::string_view s, size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    }
    return n;
}
}  // namespace

std::string QuoteAnswer(std::string_view answer, size_t limit) {
    // Only the beginning is looked at: a huge answer costs nothing here.
    const std::string_view head = answer.substr(0, limit * 4);
    bool utf8 = true;
    for (size_t i = 0; i < head.size() && utf8;) {
        const size_t n = Utf8Length(head, i);
        // A sequence cut by the head's end is no fault of the answer.
        utf8 = n > 0 || i + 4 > head.size();
        i += n > 0 ? n : 1;
    }
    const std::string text = utf8 ? std::string(head) : Cp1251ToUtf8(head);
    std::string out;
    size_t chars = 0;
    for (size_t i = 0; i < text.size();) {
        if (chars == limit) {
            return Trim(out) + "…";
        }
        size_t n = Utf8Length(text, i);
        if (n == 0)
            break;
        const unsigned char c = static_cast<unsigned char>(text[i]);
        out += c < 0x20 || c == 0x7F ? std::string(" ") : text.substr(i, n);
        i += n;
        ++chars;
    }
    const bool cut = head.size() < answer.size();
    return Trim(out) + (cut ? "…" : "");
}

std::vector<ServerPacket> RequirePacketList(std::string_view answer,
                                            const std::set<int>& installed) {
    if (Trim(answer).empty())
        throw Error("Сервер обновлений прислал пустой список пакетов.");
    std::vector<ServerPacket> list = ParsePacketList(answer, installed);
    if (list.empty()) {
        throw Error("Сервер обновлений прислал не список пакетов: «" + QuoteAnswer(Trim(answer)) +
                    "»");
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

std::string PassedOverNote(const std::vector<int>& installed) {
    if (installed.empty())
        return {};
    std::string runs;
    for (size_t i = 0; i < installed.size();) {
        size_t j = i;
        while (j + 1 < installed.size() && installed[j + 1] == installed[j] + 1)
            ++j;
        if (!runs.empty())
            runs += ", ";
        runs += std::to_string(installed[i]);
        if (j > i)
            runs += (j == i + 1 ? ", " : "–") + std::to_string(installed[j]);
        i = j + 1;
    }
    const bool one = installed.size() == 1;
    return (one ? "Пакет №" : "Пакеты №") + CutForMessage(runs, 60) +
           (one ? " уже установлен и пропущен." : " уже установлены и пропущены.");
}

}  // namespace orv
