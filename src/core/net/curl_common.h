#pragma once
// What every request of ours sets on its curl handle (internal to orvanta_net).
#include <curl/curl.h>

#include <string>

#include "net/proxy.h"

namespace orv::net_detail {

void EnsureCurlInit();

// Time-outs, no signals, no cookies. The environment variable ORVANTA_NET_FLOOR_SECONDS
// shortens the floor-speed window (tests only).
void SetCommonOptions(CURL* curl, const NetTimeouts& timeouts);

// Why a transfer failed, in Russian where we know it (time-outs), else curl's reason.
std::string TransferFailure(CURL* curl, CURLcode code, const char* errorBuffer,
                            const NetTimeouts& timeouts);

// How each request uses the proxy settings:
//  - List: no proxy at all when off; when on, credentials only with a login, and none sent
//    before the proxy asks for them.
//  - Download: the system's configured access when off; when on, login and password always.
enum class ProxyUse { List, Download };
// Throws orv::Error when the port is not a number.
void SetProxyOptions(CURL* curl, const ProxySettings& proxy, ProxyUse use);

// The "any other status" class of failure, with curl's reason for the log.
std::string CurlReason(CURLcode code, const char* errorBuffer);

}  // namespace orv::net_detail
