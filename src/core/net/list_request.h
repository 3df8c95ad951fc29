#pragma once
// The packet-list request: a blocking GET with the fixed headers, through the proxy of the
// settings, reporting progress. It blocks its thread, but every request carries the connect
// and stall time-outs, and the progress callback may abort it (Esc).
#include <cstdint>
#include <functional>
#include <string>

#include "net/proxy.h"
#include "util/error.h"

namespace orv {

// Every failure of the list request shows kServerConnectionFailed; Detail() tells why
// (kAbortedByUser after an abort) for logs and the command line.
class ListRequestError : public Error {
  public:
    explicit ListRequestError(std::string detail);
    const std::string& Detail() const { return detail_; }

  private:
    std::string detail_;
};

struct ListRequest {
    std::string url;  // server address + ListRequestPath(...)
    ProxySettings proxy;
    NetTimeouts timeouts;
    // Called as bytes arrive (received so far); false aborts the request.
    std::function<bool(std::int64_t received)> onProgress;
    std::int64_t maxBytes = 4 << 20;  // a longer answer is not a packet list
};

// The answer's body (status 200 only); throws ListRequestError.
std::string FetchList(const ListRequest& request);

// The start-up check: the newest packet number on the server, 0 when anything fails.
int CheckNewestPacket(const std::string& serverAddress, const ProxySettings& proxy,
                      const NetTimeouts& timeouts = {});
struct NewestCheck {
    int newest = 0;       // 0 when the check failed
    std::string failure;  // why, for the log
};
NewestCheck CheckNewest(const std::string& serverAddress, const ProxySettings& proxy,
                        const NetTimeouts& timeouts = {});

// The second status panel while the list arrives: received "/" expected " байт ".
std::string ListProgressText(std::int64_t received, std::int64_t expected);

}  // namespace orv
