#include "net/curl_common.h"

#include <mutex>

#include "util/error.h"
#include "util/text.h"

namespace orv::net_detail {

void EnsureCurlInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void SetCommonOptions(CURL* curl, const NetTimeouts& timeouts) {
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeouts.connectSeconds);
    // Stalled: under one byte per second for the whole stall time.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeouts.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
}

void SetProxyOptions(CURL* curl, const ProxySettings& proxy, ProxyUse use) {
    if (!proxy.use) {
        if (use == ProxyUse::List)
            curl_easy_setopt(curl, CURLOPT_PROXY, "");
        return;
    }
    std::int32_t port;
    if (!ParseIntegerText(proxy.port, port) || port < 0 || port > 65535)
        throw Error("Неверный порт прокси-сервера: " + proxy.port);
    curl_easy_setopt(curl, CURLOPT_PROXY, proxy.host.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXYPORT, static_cast<long>(port));
    curl_easy_setopt(curl, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    if (use == ProxyUse::Download || !proxy.login.empty()) {
        curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, proxy.login.c_str());
        curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, proxy.pass.c_str());
        // More than one method: curl first asks without credentials and answers the challenge.
        curl_easy_setopt(curl, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
    }
}

std::string CurlReason(CURLcode code, const char* errorBuffer) {
    if (errorBuffer != nullptr && errorBuffer[0] != 0)
        return errorBuffer;
    return curl_easy_strerror(code);
}

}  // namespace orv::net_detail
