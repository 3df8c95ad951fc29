#include "net/proxy.h"

#include "db/database.h"
#include "util/cp1251.h"
#include "util/text.h"

namespace orv {
namespace {

std::string GetKey(Database& db, const std::string& key, const std::string& def) {
    // The key column compares without regard to case.
    Statement st = db.Prepare("select value from settings where key = ?");
    st.Bind(1, key);
    if (!st.Step())
        return def;
    std::string v = st.ColumnText(0);
    return Trim(v).empty() ? def : v;
}

bool TextToBool(const std::string& text) {
    std::string t = LowerText(Trim(text));
    if (t == "true")
        return true;
    if (t == "false")
        return false;
    std::int32_t n;
    return ParseIntegerText(t, n) && n != 0;
}

}  // namespace

ProxySettings ReadProxySettings(Database& db) {
    ProxySettings p;
    p.host = GetKey(db, "proxy", "");
    p.port = GetKey(db, "port", "80");
    p.login = GetKey(db, "login", "");
    p.pass = GetKey(db, "pass", "");
    p.use = TextToBool(GetKey(db, "useproxy", "False"));
    return p;
}

}  // namespace orv
