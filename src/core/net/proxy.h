#pragma once
// Proxy access for the list request and the packet download, and the time-outs every request
// carries.
#include <string>

namespace orv {

class Database;

struct ProxySettings {
    bool use = false;  // "Использовать прокси-сервер"
    std::string host;  // "proxy"
    std::string port = "80";
    std::string login;  // "login"
    std::string pass;   // "pass"
};

// Reads the keys useproxy, proxy, port, login and pass from the settings table, with the
// store's defaults for missing or blank values (a window passes its live controls instead).
ProxySettings ReadProxySettings(Database& db);

// A dead or silent server must not hold a window for ever.
struct NetTimeouts {
    long connectSeconds = 20;  // to open the connection (the proxy's or the server's)
    long stallSeconds = 60;    // without a single byte arriving
};

}  // namespace orv
