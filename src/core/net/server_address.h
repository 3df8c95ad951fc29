#pragma once
// Where the update server is and how its one script is asked for the list and for a packet.
#include <string>

namespace orv {

class Database;

// The address fixed at build time, unless the environment variable ORVANTA_UPDATE_SERVER
// names another one. Always ends with "/"; "http://" is assumed when no scheme is given.
// Empty when neither names a server: the build sets none unless its distributor does, and
// then the program asks nobody.
std::string UpdateServerAddress();
std::string BuiltInServerAddress();  // the distributor's, often empty
std::string ChooseServerAddress(const char* environment, const std::string& built);
std::string NormalizeServerAddress(const std::string& address);

// What the update window and orvanta-cli say when no server is set.
inline constexpr const char* kNoServerSet =
    "Сервер обновлений не задан: укажите его адрес в переменной окружения ORVANTA_UPDATE_SERVER";
inline constexpr const char* kNoServerStatus = "Сервер обновлений не задан";

// Request paths (relative to the server address).
std::string ListRequestPath(const std::string& client);
std::string PacketRequestPath(const std::string& client, int packet);

// The identifier this installation sends as `client`: made once at random and kept in the
// reference's settings table, so it survives restarts and program updates.
std::string ClientIdentifier(Database& db);
// The identifier the start-up check sends.
inline constexpr const char* kStartupClient = "123";

}  // namespace orv
