#include "net/proxy.h"

#include "db/database.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"

namespace orv {

ProxySettings ReadProxySettings(Database& db) {
    SettingsStore store(db);
    store.Open();
    ProxySettings p;
    p.host = store.GetKey("proxy", "");
    p.port = store.GetKey("port", "80");
    p.login = store.GetKey("login", "");
    p.pass = store.GetKey("pass", "");
    bool use = false;
    p.use = TextToBool(store.GetKey("useproxy", "False"), use) && use;
    return p;
}

}  // namespace orv
