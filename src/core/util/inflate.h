#pragma once
#include <istream>
#include <ostream>

namespace orv {

struct InflateResult {
    bool complete = false;  // the zlib stream reached its end (false: the source ran out first)
};

// Inflates a zlib (RFC 1950) stream from the source's current position onto the destination.
// Throws orv::Error("Error") on data that is not valid zlib; a truncated source is not an error
// but is reported through the result.
InflateResult InflateToStream(std::istream& source, std::ostream& destination);

}  // namespace orv
