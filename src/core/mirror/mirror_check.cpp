#include "mirror/mirror_check.h"

#include <fstream>
#include <iterator>
#include <set>

#include "mirror/mirror_folder.h"
#include "net/packet_list.h"
#include "update/packet_file.h"
#include "util/error.h"

namespace orv {
namespace fs = std::filesystem;

namespace {

// A list longer than this is not one the program would read.
constexpr std::uintmax_t kMaxListBytes = 4 << 20;

std::optional<std::uintmax_t> ParseSize(std::string_view s) {
    if (s.empty() || s.size() > 15)
        return std::nullopt;
    std::uintmax_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + static_cast<std::uintmax_t>(c - '0');
    }
    return v;
}

}  // namespace

std::vector<std::string> CheckMirror(const fs::path& root) {
    std::vector<std::string> problems;
    const fs::path listPath = root / kMirrorListFile;
    std::error_code ec;
    if (!fs::is_regular_file(listPath, ec)) {
        problems.push_back("нет файла списка " + TextForLog(listPath.string()) +
                           " (создайте его командой mirror --root)");
        return problems;
    }
    if (fs::file_size(listPath, ec) > kMaxListBytes) {
        problems.push_back("файл списка больше 4 МБ: это не список пакетов");
        return problems;
    }
    std::ifstream in(listPath, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    std::set<int> listed;
    int previous = 0;
    for (const std::string& line : SplitLines(text)) {
        const std::string where = "строка списка «" + TextForLog(line) + "»: ";
        size_t space = line.find(' ');
        std::optional<int> number =
            space == std::string::npos ? std::nullopt : ParseRequestMode(line.substr(0, space));
        std::optional<std::uintmax_t> size =
            space == std::string::npos ? std::nullopt : ParseSize(line.substr(space + 1));
        if (!number || *number < 1 || !size) {
            problems.push_back(where + "не в виде «номер размер»");
            continue;
        }
        if (*number <= previous) {
            problems.push_back(where + "номера не по возрастанию");
            continue;
        }
        previous = *number;
        listed.insert(*number);

        const std::string name = std::to_string(*number) + ".pckt";
        const fs::path file = root / name;
        if (!fs::is_regular_file(file, ec) || fs::is_symlink(file, ec)) {
            problems.push_back("пакет " + name + " указан в списке, но его нет в папке");
            continue;
        }
        auto actual = fs::file_size(file, ec);
        if (ec || actual != *size) {
            problems.push_back("пакет " + name + ": размер " + std::to_string(actual) +
                               " байт, а в списке " + std::to_string(*size));
            continue;
        }
        try {
            // Only the number and the structure are checked: no copy of its lines.
            const PacketText content = ParsePacketView(ReadPacketText(file.string()));
            if (content.number != *number) {
                problems.push_back("пакет " + name + " несёт номер " +
                                   std::to_string(content.number));
            }
        } catch (const Error& e) {
            problems.push_back("пакет " + name + ": " + TextForLog(e.what()));
        }
    }
    for (const MirrorPacket& p : FolderPackets(root)) {
        if (listed.count(p.number) == 0) {
            problems.push_back("пакет " + std::to_string(p.number) +
                               ".pckt есть в папке, но не указан в списке (обновите список "
                               "командой mirror --root)");
        }
    }
    return problems;
}

}  // namespace orv
