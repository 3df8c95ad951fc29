#include "net/list_request.h"

#include <memory>

#include "net/curl_common.h"
#include "net/net_texts.h"
#include "net/packet_list.h"
#include "net/server_address.h"
#include "util/text.h"

namespace orv {
namespace {

using namespace net_detail;

struct Transfer {
    const ListRequest* request;
    std::string body;
    bool aborted = false;
    bool tooLong = false;
};

size_t OnData(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    size_t n = size * count;
    if (static_cast<std::int64_t>(t->body.size() + n) > t->request->maxBytes) {
        t->tooLong = true;
        return CURL_WRITEFUNC_ERROR;
    }
    t->body.append(data, n);
    return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t now, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    if (t->request->onProgress && !t->request->onProgress(now)) {
        t->aborted = true;
        return 1;
    }
    return 0;
}

}  // namespace

ListRequestError::ListRequestError(std::string detail)
    : Error(kServerConnectionFailed), detail_(std::move(detail)) {}

std::string FetchList(const ListRequest& request) {
    EnsureCurlInit();
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(nullptr,
                                                                        curl_slist_free_all);
    if (!curl)
        throw ListRequestError("curl_easy_init");
    CURL* h = curl.get();
    Transfer t{&request, {}};
    char errorBuffer[CURL_ERROR_SIZE] = {0};
    SetCommonOptions(h, request.timeouts);
    try {
        SetProxyOptions(h, request.proxy, ProxyUse::List);
    } catch (const Error& e) {
        throw ListRequestError(e.what());
    }
    for (const char* line : {"Accept: */*", "Accept-Language: ru",
                             "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)",
                             "Connection: Keep-Alive", "Content-Type: application/octet-stream"}) {
        headers.reset(curl_slist_append(headers.release(), line));
    }
    curl_easy_setopt(h, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnData);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    CURLcode rc = curl_easy_perform(h);
    if (t.aborted)
        throw ListRequestError(kAbortedByUser);
    if (t.tooLong)
        throw ListRequestError("ответ длиннее " + std::to_string(request.maxBytes) + " байт");
    if (rc != CURLE_OK)
        throw ListRequestError(CurlReason(rc, errorBuffer));
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200)
        throw ListRequestError("HTTP " + std::to_string(status));
    return t.body;
}

int CheckNewestPacket(const std::string& serverAddress, const ProxySettings& proxy,
                      const NetTimeouts& timeouts) {
    if (Trim(serverAddress).empty())
        return 0;  // no server set: nothing is asked
    try {
        ListRequest r;
        r.url = NormalizeServerAddress(serverAddress) + ListRequestPath(kStartupClient);
        r.proxy = proxy;
        r.timeouts = timeouts;
        return NewestPacketNumber(FetchList(r));
    } catch (const Error&) {
        return 0;
    }
}

std::string ListProgressText(std::int64_t received, std::int64_t expected) {
    return std::to_string(received) + "/" + std::to_string(expected) + " байт ";
}

}  // namespace orv
