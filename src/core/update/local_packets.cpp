#include "update/local_packets.h"

#include <filesystem>
#include <map>

#include "db/schema.h"
#include "update/day_number.h"
#include "util/error.h"
#include "util/paths.h"

namespace orv {

std::string PacketFilePath(const std::string& dir, int number) {
    return dir + std::to_string(number) + ".pckt";
}

std::vector<std::string> DuePacketFiles(const std::string& dir, int lastInstalled,
                                        int newestAvailable) {
    std::vector<std::string> files;
    for (int n = lastInstalled + 1; n <= newestAvailable; ++n) {
        std::string path = PacketFilePath(dir, n);
        if (!FileExists(path))
            break;
        files.push_back(std::move(path));
    }
    return files;
}

std::string SetDamagedPacketAside(const std::string& path) {
    std::string aside = path + ".bad";
    std::error_code ec;
    std::filesystem::rename(path, aside, ec);
    if (ec) {
        throw Error("Не удалось переименовать повреждённый файл " + path + " в " + aside + ": " +
                    ec.message());
    }
    return aside;
}

std::string DamagedPacketNote(int number, const std::string& damage) {
    const std::string name = std::to_string(number) + ".pckt";
    return "Файл " + name + " повреждён (" + damage + "); он сохранён как " + name +
           ".bad, пакет будет загружен с сервера заново.";
}

std::string DuePacketsQuestionCaption(const std::string& firstFile) {
    return "Пакет обновления " + std::filesystem::path(firstFile).filename().string();
}

PacketHistory CollectPacketStatistics(Reference& ref) {
    PacketHistory h;
    h.upd = InitUpd(ref);
    std::map<int, int> counts;
    for (const auto& c : PacketStatistics(ref.Db()))
        counts[c.packet] = c.rows;
    for (const auto& p : h.upd.packets) {
        auto it = counts.find(p.id);
        h.rows.push_back({p.id, p.dt, FormatDayNumber(p.dt), it == counts.end() ? 0 : it->second});
    }
    return h;
}

std::string TotalRecordsText(int total) {
    return "В базе " + std::to_string(total) + " записей.";
}

std::string ShowPacketQuestion(int number) {
    return "Показать пакет обновления №" + std::to_string(number) + "?";
}

std::string PacketListSql(int number) {
    return "select * from b where status=" + std::to_string(number);
}

}  // namespace orv
