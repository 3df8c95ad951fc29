#pragma once
// Where the update server is and how its one script is asked for the list and for a packet.
#include <string>

namespace orv {

class Database;

// The address fixed at build time, unless the environment variable ORVANTA_UPDATE_SERVER
// names another one. Always ends with "/"; "http://" is assumed when no scheme is given.
std::string UpdateServerAddress();
std::string NormalizeServerAddress(const std::string& address);

// Request paths (relative to the server address).
std::string ListRequestPath(const std::string& client);
std::string PacketRequestPath(const std::string& client, int packet);

// The identifier this installation sends as `client`: made once at random and kept in the
// reference's settings table, so it survives restarts and program updates.
std::string ClientIdentifier(Database& db);
// The identifier the start-up check sends.
inline constexpr const char* kStartupClient = "123";

}  // namespace orv
