#pragma once
// A large, deterministic reference as packet content, for benchmarks and load tests: made-up
// preparation names, synonyms within clusters of the same substance, every description
// section of a length typical for the demo texts, groups and manufacturers in proportion.
#include <cstdint>

#include "update/packet_file.h"

namespace orv {

struct GeneratorOptions {
    int preparations = 1000;
    std::uint64_t seed = 1;
    int packet = 1;
};

// Number of groups and manufacturers that go with `preparations`.
int GeneratedGroupCount(int preparations);
int GeneratedManufacturerCount(int preparations);

// The same options always give the same content, byte for byte.
PacketContent GeneratePacket(const GeneratorOptions& options);

}  // namespace orv
