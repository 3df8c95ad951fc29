#include "util/inflate.h"

#include <zlib.h>

#include <array>

#include "util/error.h"

namespace orv {

namespace {
// Ends the stream on every way out, a throwing destination included.
struct InflateStream {
    z_stream z{};
    InflateStream() {
        if (inflateInit(&z) != Z_OK)
            throw Error("Error");
    }
    ~InflateStream() { inflateEnd(&z); }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
};
}  // namespace

InflateResult InflateToStream(std::istream& source, std::ostream& destination) {
    InflateStream stream;
    z_stream& z = stream.z;
    std::array<char, 4096> in{};
    std::array<char, 4096> out{};
    InflateResult result;
    int rc = Z_OK;
    for (;;) {
        if (z.avail_in == 0) {
            source.read(in.data(), in.size());
            auto got = source.gcount();
            if (got <= 0)
                break;  // source exhausted before the end of the zlib stream
            z.next_in = reinterpret_cast<Bytef*>(in.data());
            z.avail_in = static_cast<uInt>(got);
        }
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        rc = inflate(&z, Z_NO_FLUSH);
        auto produced = out.size() - z.avail_out;
        if (produced > 0)
            destination.write(out.data(), static_cast<std::streamsize>(produced));
        if (rc == Z_STREAM_END) {
            result.complete = true;
            break;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR)
            throw Error("Error");
    }
    return result;
}

}  // namespace orv
