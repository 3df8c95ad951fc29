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
PacketDamaged TooLarge(size_t maxBytes) {
    return PacketDamaged("Пакет обновления слишком велик: больше " + std::to_string(maxBytes) +
                         " байт после распаковки");
}

// The inflated bytes go either nowhere (counted only) or into a text allocated beforehand;
// neither grows past its limit.
class BoundedSink : public std::streambuf {
  public:
    BoundedSink(size_t maxBytes, std::string* text) : maxBytes_(maxBytes), text_(text) {}
    size_t size = 0;
    bool overflowed = false;
    // What a structure check needs without the text: the bytes before the first section
    // separator (the number; a longer head is no number anyway) and the separators' count.
    std::string head;
    size_t sectionSeparators = 0;

  protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        const size_t count = static_cast<size_t>(n);
        if (size + count > maxBytes_) {
            overflowed = true;
            throw std::length_error("packet text");
        }
        if (text_ != nullptr) {
            text_->append(s, count);
        } else {
            const char* end = s + count;
            if (sectionSeparators == 0) {
                const char* sep = std::find(s, end, kSectionSeparator);
                head.append(s, std::min<size_t>(static_cast<size_t>(sep - s),
                                                kHeadBytes - std::min(kHeadBytes, head.size())));
            }
            sectionSeparators += static_cast<size_t>(std::count(s, end, kSectionSeparator));
        }
        size += count;
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
    static constexpr size_t kHeadBytes = 32;
    size_t maxBytes_;
    std::string* text_;
};

// The most text a file of `fileBytes` may inflate to, and whether its ratio sets it.
struct TextLimit {
    size_t bytes = 0;
    bool byRatio = false;
};
TextLimit LimitFor(std::uintmax_t fileBytes, size_t maxBytes) {
    const std::uintmax_t byRatio =
        std::max<std::uintmax_t>(kPacketTextFreeBytes, fileBytes * kMaxPacketInflation);
    if (byRatio < maxBytes)
        return {static_cast<size_t>(byRatio), true};
    return {maxBytes, false};
}

// One pass over the file; throws the messages of ReadPacketText. Returns the text's size.
size_t InflateFile(const std::string& path, BoundedSink& sink, const TextLimit& limit) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw Error("Файл " + path + " не найден!");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("Файл " + path + " не найден!");
    std::ostream out(&sink);
    out.exceptions(std::ios::badbit);
    InflateResult r;
    try {
        r = InflateToStream(in, out);
    } catch (const Error& e) {
        throw PacketDamaged(e.what());
    } catch (const std::exception&) {
        if (sink.overflowed && limit.byRatio) {
            throw PacketDamaged(
                "Файл " + path + " повреждён: при распаковке он вырастает больше чем в " +
                std::to_string(kMaxPacketInflation) + " раз, так пакеты обновления не сжимаются");
        }
        if (sink.overflowed)
            throw TooLarge(limit.bytes);
        throw;
    }
    // An empty file reads as an empty text (and fails the structure check); any other stream
    // that stops before its end marker would apply a cut-off packet as if it were whole.
    if (!r.complete && std::filesystem::file_size(path, ec) > 0) {
        throw PacketDamaged("Файл " + path +
                            " повреждён: пакет обновления обрывается раньше конца данных");
    }
    return sink.size;
}

TextLimit LimitFor(const std::string& path, size_t maxBytes) {
    std::error_code ec;
    const std::uintmax_t fileBytes = std::filesystem::file_size(path, ec);
    return LimitFor(ec ? 0 : fileBytes, maxBytes);
}
}  // namespace

std::string ReadPacketText(const std::string& path, size_t maxBytes) {
    // Measured first, so that the text is allocated once: growing it by doubling would hold
    // up to three times its size at the moment of a copy.
    const TextLimit limit = LimitFor(path, maxBytes);
    BoundedSink counter(limit.bytes, nullptr);
    const size_t size = InflateFile(path, counter, limit);
    std::string text;
    text.reserve(size);
    BoundedSink sink(size, &text);
    InflateFile(path, sink, {size, false});
    return text;
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

struct Structure {
    int number = 0;
    size_t bounds[3] = {0, 0, 0};
};

Structure CheckStructure(std::string_view text) {
    Structure st;
    size_t found = 0;
    for (size_t at = text.find(kSectionSeparator); at != std::string_view::npos;
         at = text.find(kSectionSeparator, at + 1)) {
        if (found == 3) {
            found = 4;
            break;
        }
        st.bounds[found++] = at;
    }
    if (found != 3)
        throw PacketDamaged("7 Неверная структура пакета!");
    std::int32_t number = 0;
    // Packet numbers start at 1: 0 is the base data and a negative one would pass every check.
    if (!ParseIntegerText(text.substr(0, st.bounds[0]), number) || number < 1) {
        throw PacketDamaged("8 Неверная структура пакета!");
    }
    st.number = number;
    return st;
}
}  // namespace

PacketContent ParsePacketText(const std::string& text) {
    const Structure st = CheckStructure(text);
    PacketContent c;
    c.number = st.number;
    SplitLines(text, st.bounds[0] + 1, st.bounds[1], c.preparations);
    SplitLines(text, st.bounds[1] + 1, st.bounds[2], c.manufacturers);
    SplitLines(text, st.bounds[2] + 1, text.size(), c.groups);
    return c;
}

SectionLines::SectionLines(std::string_view text) : text_(text) {
    count_ = 1 + static_cast<size_t>(std::count(text.begin(), text.end(), kLineSeparator));
    size_t at = text_.find(kLineSeparator);
    current_ = text_.substr(0, at);
    next_ = at == std::string_view::npos ? text_.size() : at + 1;
}

void SectionLines::Advance() {
    if (AtLast())
        return;
    size_t at = text_.find(kLineSeparator, next_);
    current_ =
        text_.substr(next_, at == std::string_view::npos ? std::string_view::npos : at - next_);
    next_ = at == std::string_view::npos ? text_.size() : at + 1;
    ++index_;
}

PacketText ParsePacketView(std::string text) {
    PacketText p;
    p.text = std::move(text);
    const std::string_view t(p.text);
    const Structure st = CheckStructure(t);
    p.number = st.number;
    p.spans[0] = {st.bounds[0] + 1, st.bounds[1] - st.bounds[0] - 1};
    p.spans[1] = {st.bounds[1] + 1, st.bounds[2] - st.bounds[1] - 1};
    p.spans[2] = {st.bounds[2] + 1, t.size() - st.bounds[2] - 1};
    return p;
}

std::string PacketFileDamage(const std::string& path, int number) {
    const TextLimit limit = LimitFor(path, kMaxPacketTextBytes);
    BoundedSink check(limit.bytes, nullptr);
    try {
        InflateFile(path, check, limit);
    } catch (const Error& e) {
        // zlib's own word for it tells an administrator nothing; the path is the caller's.
        std::string why = e.what();
        if (why == "Error")
            return "это не сжатый пакет обновления (zlib)";
        const std::string prefix = "Файл " + path + " повреждён: ";
        return why.compare(0, prefix.size(), prefix) == 0 ? why.substr(prefix.size()) : why;
    }
    if (check.sectionSeparators != 3)
        return "7 Неверная структура пакета!";
    std::int32_t found = 0;
    if (!ParseIntegerText(check.head, found) || found < 1)
        return "8 Неверная структура пакета!";
    if (number > 0 && found != number) {
        return "в файле пакет №" + std::to_string(found) + ", а не №" + std::to_string(number);
    }
    return {};
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
