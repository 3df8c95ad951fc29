#include "net/curl_common.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "util/error.h"
#include "util/text.h"

namespace orv::net_detail {

void EnsureCurlInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

namespace {
long FloorSeconds(const NetTimeouts& timeouts) {
    if (const char* env = std::getenv("ORVANTA_NET_FLOOR_SECONDS")) {
        std::int32_t v = 0;
        if (ParseIntegerText(env, v) && v > 0)
            return v;
    }
    return std::max(1L, timeouts.floorSeconds);
}
}  // namespace

void SetCommonOptions(CURL* curl, const NetTimeouts& timeouts) {
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeouts.connectSeconds);
    // The floor speed: under floorBytes in floorSeconds, as curl's average over that window.
    const long window = FloorSeconds(timeouts);
    const long floor = std::max(1L, (timeouts.floorBytes + window - 1) / window);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, floor);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, window);
    if (timeouts.overallSeconds > 0)
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeouts.overallSeconds);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
}

std::string TransferFailure(CURL* curl, CURLcode code, const char* errorBuffer,
                            const NetTimeouts& timeouts) {
    if (code == CURLE_OPERATION_TIMEDOUT) {
        curl_off_t total = 0, connect = 0;
        curl_easy_getinfo(curl, CURLINFO_TOTAL_TIME_T, &total);
        curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connect);
        if (connect == 0 && total < timeouts.overallSeconds * 1000000) {
            return "сервер не ответил на подключение за " +
                   std::to_string(timeouts.connectSeconds) + " с";
        }
        if (timeouts.overallSeconds > 0 && total + 500000 >= timeouts.overallSeconds * 1000000) {
            return "запрос не завершился за " + std::to_string(timeouts.overallSeconds) + " с";
        }
        return "сервер передаёт данные слишком медленно: меньше " +
               std::to_string(timeouts.floorBytes) + " байт за " +
               std::to_string(FloorSeconds(timeouts)) + " с";
    }
    if (code == CURLE_COULDNT_CONNECT)
        return "не удалось подключиться (" + CurlReason(code, errorBuffer) + ")";
    if (code == CURLE_PARTIAL_FILE || code == CURLE_RECV_ERROR)
        return "соединение оборвалось до конца ответа (" + CurlReason(code, errorBuffer) + ")";
    return CurlReason(code, errorBuffer);
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
