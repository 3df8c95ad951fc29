// Partner requests as they arrive in the mailbox, and the replies built from any text.
// Reading one must never crash; a reply reads back with its code and payload.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "search/partner_link.h"
#include "util/cp1251.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orv::PartnerLink link;
    if (link.Receive(bytes)) {
        const int code = link.PendingCode();
        (void)link.PartnerMailbox();
        (void)orv::PartnerFirstWord(link.Text());
        const std::string reply = orv::PartnerLink::Reply(code, link.Text());
        // The reply parses back as a request with the same code and text.
        orv::PartnerLink echo;
        if (code >= 0 && code <= 99 && echo.Receive(reply) &&
            (echo.PendingCode() != code ||
             echo.Text() != orv::Cp1251ToUtf8(orv::Utf8ToCp1251(link.Text()))))
            orv::fuzz::Fail("a reply does not read back", reply);
    }
    (void)orv::PartnerFirstWord(bytes);
    return 0;
}
