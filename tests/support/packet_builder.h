#pragma once
// Packet files for tests, written from readable UTF-8 lines: "|" separates the fields.
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "update/packet_file.h"
#include "util/cp1251.h"

namespace orv::test {

inline std::string PacketLine(const std::string& utf8) {
    std::string bytes = Utf8ToCp1251(utf8);
    for (char& c : bytes) {
        if (c == '|')
            c = kFieldSeparator;
    }
    return bytes;
}

inline std::vector<std::string> PacketLines(const std::vector<std::string>& utf8) {
    std::vector<std::string> out;
    for (const auto& l : utf8)
        out.push_back(PacketLine(l));
    if (out.empty())
        out.emplace_back();
    return out;
}

// A preparation line of 22 fields: id, cmd, name, synonyms, status, n1..n16, g; `set` replaces
// fields by position (1-based); `packet2` drops the group field.
inline std::string PrepLine(int id, const std::string& name, std::map<int, std::string> set = {},
                            bool packet2 = false) {
    std::vector<std::string> f = {std::to_string(id), "7", name, "Синоним", "0"};
    for (int n = 1; n <= 16; ++n)
        f.push_back("текст n" + std::to_string(n));
    f.push_back("-1");
    f[6] = "Снижает <b>температуру</b> тела, 2 раза";  // n2
    f[9] = "Головная боль, лихорадка";                 // n5
    f[15] = "[1],[2]";                                 // n11
    f[16] = "1";                                       // n12
    for (auto& [pos, text] : set)
        f[static_cast<size_t>(pos - 1)] = text;
    if (packet2)
        f.pop_back();
    std::string line;
    for (size_t i = 0; i < f.size(); ++i)
        line += (i ? "|" : "") + f[i];
    return line;
}

inline void WritePacket(const std::string& path, int number, const std::vector<std::string>& preps,
                        const std::vector<std::string>& izg = {},
                        const std::vector<std::string>& groups = {}) {
    PacketContent c;
    c.number = number;
    c.preparations = PacketLines(preps);
    c.manufacturers = PacketLines(izg);
    c.groups = PacketLines(groups);
    WritePacketFile(path, BuildPacketText(c));
}

// A packet of sound structure whose one preparation line holds `fillerBytes` of 'x': written
// as a stream, so neither the test nor the file holds the inflated text (1 MB per GB).
inline void WriteBombPacket(const std::string& path, int number, size_t fillerBytes) {
    z_stream z{};
    deflateInit(&z, 9);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string buffer(1 << 16, '\0');
    auto feed = [&](const std::string& in, int flush) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        z.avail_in = static_cast<uInt>(in.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer.data());
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, flush);
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size() - z.avail_out));
        } while (z.avail_out == 0);
    };
    feed(std::to_string(number) + kSectionSeparator + "1" + kFieldSeparator, Z_NO_FLUSH);
    const std::string block(1 << 20, 'x');
    for (size_t left = fillerBytes; left > 0;) {
        const size_t n = std::min(left, block.size());
        feed(n == block.size() ? block : block.substr(0, n), Z_NO_FLUSH);
        left -= n;
    }
    feed(std::string{kSectionSeparator, kSectionSeparator}, Z_FINISH);
    deflateEnd(&z);
}

}  // namespace orv::test
