#include "net/server_address.h"

#include <cstdlib>
#include <random>

#include "db/database.h"
#include "util/text.h"

namespace orv {
namespace {
constexpr const char* kClientKey = "clientid";
constexpr const char* kScript = "orvanta/updatesquery.php?client=";
}  // namespace

std::string NormalizeServerAddress(const std::string& address) {
    std::string a = Trim(address);
    if (a.empty())
        return a;
    if (a.find("://") == std::string::npos)
        a = "http://" + a;
    if (a.back() != '/')
        a += '/';
    return a;
}

std::string ChooseServerAddress(const char* environment, const std::string& built) {
    if (environment != nullptr && !Trim(environment).empty())
        return NormalizeServerAddress(environment);
    if (Trim(built).empty())
        return std::string();
    return NormalizeServerAddress(built);
}

std::string BuiltInServerAddress() {
    return NormalizeServerAddress(ORVANTA_UPDATE_SERVER);
}

std::string UpdateServerAddress() {
    return ChooseServerAddress(std::getenv("ORVANTA_UPDATE_SERVER"), ORVANTA_UPDATE_SERVER);
}

std::string ListRequestPath(const std::string& client) {
    return std::string(kScript) + client + "&mode=0";
}

std::string PacketRequestPath(const std::string& client, int packet) {
    return std::string(kScript) + client + "&mode=" + std::to_string(packet);
}

std::string ClientIdentifier(Database& db) {
    Statement find = db.Prepare("select value from settings where key = ?");
    find.Bind(1, std::string(kClientKey));
    if (find.Step()) {
        std::string v = Trim(find.ColumnText(0));
        if (!v.empty())
            return v;
    }
    // Hex only, so it goes into the query string as it is.
    std::random_device rd;
    std::string id;
    const char* hex = "0123456789abcdef";
    for (int i = 0; i < 32; ++i)
        id += hex[rd() % 16];
    Statement del = db.Prepare("delete from settings where key = ?");
    del.Bind(1, std::string(kClientKey));
    del.Step();
    Statement ins = db.Prepare("insert into settings (key, value) values (?, ?)");
    ins.Bind(1, std::string(kClientKey));
    ins.Bind(2, id);
    ins.Step();
    return id;
}

}  // namespace orv
