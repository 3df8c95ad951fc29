#include "update/packet_file.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <streambuf>

#include "util/error.h"
#include "util/inflate.h"
#include "util/text.h"

namespace orv {

namespace {
Error TooLarge(size_t maxBytes) {
    return Error("Пакет обновления слишком велик: больше " + std::to_string(maxBytes) +
                 " байт после распаковки");
}

// A string sink that refuses to grow past the packet size limit.
class BoundedStringBuf : public std::streambuf {
  public:
    explicit BoundedStringBuf(size_t maxBytes) : maxBytes_(maxBytes) {}
    std::string text;

  protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (text.size() + static_cast<size_t>(n) > maxBytes_)
            throw TooLarge(maxBytes_);
        text.append(s, static_cast<size_t>(n));
        return n;
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        char ch = traits_type::to_char_type(c);
        xsputn(&ch, 1);
        return c;
    }

  private:
    size_t maxBytes_;
};
}  // namespace

std::string ReadPacketText(const std::string& path, size_t maxBytes) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw Error("Файл " + path + " не найден!");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("Файл " + path + " не найден!");
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        size = 0;

    BoundedStringBuf sink(maxBytes);
    // Packets compress about tenfold; growing the text by doubling would copy it repeatedly.
    sink.text.reserve(static_cast<size_t>(std::min<std::uintmax_t>(size * 10, maxBytes)));
    std::ostream out(&sink);
    out.exceptions(std::ios::badbit);
    InflateResult r;
    try {
        r = InflateToStream(in, out);
    } catch (const std::ios_base::failure&) {
        // The sink's size error surfaces as a stream failure; report it as such.
        throw TooLarge(maxBytes);
    }
    // An empty file reads as an empty text (and fails the structure check); any other stream
    // that stops before its end marker would apply a cut-off packet as if it were whole.
    if (!r.complete && size > 0) {
        throw Error("Файл " + path + " повреждён: пакет обновления обрывается раньше конца данных");
    }
    return std::move(sink.text);
}

namespace {
// Appends the lines of text[begin, end) to `lines`, as SplitText at 0x02 would.
void SplitLines(const std::string& text, size_t begin, size_t end,
                std::vector<std::string>& lines) {
    for (;;) {
        size_t at = text.find(kLineSeparator, begin);
        if (at == std::string::npos || at >= end)
            break;
        lines.emplace_back(text, begin, at - begin);
        begin = at + 1;
    }
    lines.emplace_back(text, begin, end - begin);
}
}  // namespace

PacketContent ParsePacketText(const std::string& text) {
    // Section bounds first, so that a large packet is copied into its lines only once.
    std::vector<size_t> bounds;
    for (size_t at = text.find(kSectionSeparator); at != std::string::npos;
         at = text.find(kSectionSeparator, at + 1)) {
        bounds.push_back(at);
        if (bounds.size() > 3)
            break;
    }
    if (bounds.size() != 3)
        throw Error("7 Неверная структура пакета!");
    std::int32_t number = 0;
    // Packet numbers start at 1: 0 is the base data and a negative one would pass every check.
    if (!ParseIntegerText(std::string_view(text).substr(0, bounds[0]), number) || number < 1) {
        throw Error("8 Неверная структура пакета!");
    }
    PacketContent c;
    c.number = number;
    SplitLines(text, bounds[0] + 1, bounds[1], c.preparations);
    SplitLines(text, bounds[1] + 1, bounds[2], c.manufacturers);
    SplitLines(text, bounds[2] + 1, text.size(), c.groups);
    return c;
}

std::string BuildPacketText(const PacketContent& content) {
    auto join = [](const std::vector<std::string>& lines) {
        std::string s;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i)
                s += kLineSeparator;
            s += lines[i];
        }
        return s;
    };
    std::string text = std::to_string(content.number);
    text += kSectionSeparator;
    text += join(content.preparations);
    text += kSectionSeparator;
    text += join(content.manufacturers);
    text += kSectionSeparator;
    text += join(content.groups);
    return text;
}

void WritePacketFile(const std::string& path, const std::string& text, int level) {
    uLongf bound = compressBound(static_cast<uLong>(text.size()));
    std::string packed(bound, '\0');
    int rc = compress2(reinterpret_cast<Bytef*>(packed.data()), &bound,
                       reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()),
                       level);
    if (rc != Z_OK)
        throw Error("Не удалось сжать пакет обновления (zlib " + std::to_string(rc) + ")");
    packed.resize(bound);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(packed.data(), static_cast<std::streamsize>(packed.size()));
    out.close();
    if (!out)
        throw Error("Не удалось записать файл " + path);
}

}  // namespace orv
