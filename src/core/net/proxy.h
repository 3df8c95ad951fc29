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

// A dead, silent or trickling server must not hold a window or a scheduled run for ever.
struct NetTimeouts {
    long connectSeconds = 20;   // to open the connection (the proxy's or the server's)
    long floorBytes = 1024;     // a transfer bringing less than this...
    long floorSeconds = 30;     // ...in this long is abandoned (a stall included)
    long overallSeconds = 600;  // the whole request: a slow rural line still gets a packet
};

}  // namespace orv
