// The update server's list answer: any bytes parse into packets that are numbered, sized and
// marked exactly when not installed; the start-up check's reading never crashes.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "net/packet_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const std::set<int> installed = {1, 2, 5};
    for (const auto& p : orv::ParsePacketList(answer, installed)) {
        if (p.number <= 0 || p.size < 0)
            orv::fuzz::Fail("a listed packet has no number or a negative size", answer);
        if (p.installed != (installed.count(p.number) > 0) || p.marked == p.installed)
            orv::fuzz::Fail("a listed packet is marked wrongly", answer);
    }
    (void)orv::NewestPacketNumber(answer);
    (void)orv::SplitLines(answer);
    return 0;
}
