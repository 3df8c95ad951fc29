#include "util/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>

#include "util/cp1251.h"
#include "util/html_entities.h"

namespace orv {

std::string ValueToText(const Value& v) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(Null) const { return {}; }
        std::string operator()(std::int64_t i) const { return std::to_string(i); }
        std::string operator()(double d) const {
            char buf[64];
            auto r = std::to_chars(buf, buf + sizeof buf, d);
            return std::string(buf, r.ptr);
        }
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(const Blob& b) const { return b.bytes; }
    };
    return std::visit(Visitor{}, v);
}

namespace {
bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
}  // namespace

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && IsTrimmed(s[b]))
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsTrimmed(s[e - 1]))
        --e;
    return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) {
    return TrimLeft(TrimRight(s));
}

namespace {
// The key is derived at run time rather than kept as one constant.
const std::array<unsigned char, 30>& ScrambleKey() {
    static const std::array<unsigned char, 30> key = [] {
        std::array<unsigned char, 30> k{};
        unsigned v = 0x9E;
        for (size_t i = 0; i < k.size(); ++i) {
            v = (v * 73u + 41u + static_cast<unsigned>(i)) & 0xFFu;
            k[i] = static_cast<unsigned char>(v == 0 ? 0x5A : v);
        }
        return k;
    }();
    return key;
}
}  // namespace

std::string ScrambleText(std::string_view bytes) {
    const auto& key = ScrambleKey();
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0)
            break;
        unsigned char k = key[i % key.size()];
        out += static_cast<char>(b == k ? b : (b ^ k));
    }
    return out;
}

std::string ScrambleForStorage(std::string_view utf8) {
    return ScrambleText(Utf8ToCp1251(utf8));
}

std::string UnscrambleFromStorage(std::string_view stored) {
    return Cp1251ToUtf8(ScrambleText(stored));
}

std::string StripMarkup(std::string_view html) {
    std::string s;
    s.reserve(html.size());
    for (size_t i = 0; i < html.size();) {
        if (html[i] == '<' && i + 4 <= html.size() && (html[i + 1] == 'b' || html[i + 1] == 'B') &&
            (html[i + 2] == 'r' || html[i + 2] == 'R') && html[i + 3] == '>') {
            s += '\r';
            i += 4;
        } else {
            s += html[i++];
        }
    }
    // Each tag, from a "<" to the first ">" after it, becomes one space; one pass.
    std::string out;
    out.reserve(s.size());
    size_t pos = 0;
    for (;;) {
        const size_t lt = s.find('<', pos);
        const size_t gt = lt == std::string::npos ? lt : s.find('>', lt);
        if (gt == std::string::npos)
            break;
        out.append(s, pos, lt - pos);
        out += ' ';
        pos = gt + 1;
    }
    out.append(s, pos);
    // Last, so that a decoded "&lt;" is text and not the start of a tag.
    return DecodeEntities(out);
}

std::string CollapseSpaces(std::string_view text) {
    std::string t = Trim(text);
    std::string out;
    out.reserve(t.size());
    for (char c : t) {
        if (c == ' ' && !out.empty() && out.back() == ' ')
            continue;
        out += c;
    }
    return out;
}

void SplitText(std::string_view text, std::string_view separator, std::vector<std::string>& list) {
    if (separator.empty()) {
        list.emplace_back(text);
        return;
    }
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        if (at == std::string_view::npos)
            break;
        list.emplace_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    list.emplace_back(text.substr(start));
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> list;
    SplitText(text, separator, list);
    return list;
}

namespace {
size_t CharCount(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}
}  // namespace

std::string IndexWords(std::string_view text) {
    std::string letters;
    letters.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        char32_t c = DecodeUtf8(text, pos);
        AppendUtf8(letters, IsLetter(c) ? LowerChar(c) : U' ');
    }
    std::vector<std::string> words = SplitText(CollapseSpaces(letters), " ");
    static std::mt19937 rng;
    rng.seed(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::string result;
    while (!words.empty()) {
        std::uniform_int_distribution<size_t> pick(0, words.size() - 1);
        size_t i = pick(rng);
        if (CharCount(words[i]) > 2) {
            result += words[i];
            result += ' ';
        }
        words[i] = std::move(words.back());
        words.pop_back();
    }
    return result;
}

std::string ZeroPad(std::int64_t n, int width) {
    auto pow10 = [](int k) {
        std::int64_t p = 1;
        for (int i = 0; i < k && p <= std::numeric_limits<std::int64_t>::max() / 10; ++i)
            p *= 10;
        return p;
    };
    std::string prefix;
    for (int k = width - 1; k >= 1; --k) {
        if (n >= pow10(k))
            break;
        prefix += '0';
    }
    return prefix + std::to_string(n);
}

bool ParseIntegerText(std::string_view s, std::int32_t& out) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return false;
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        int d;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        } else {
            return false;
        }
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull)
            return false;
    }
    std::int64_t signedValue;
    if (base == 16) {
        signedValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        if (negative)
            signedValue = -signedValue;
        if (signedValue < std::numeric_limits<std::int32_t>::min() ||
            signedValue > std::numeric_limits<std::int32_t>::max()) {
            return false;
        }
    } else {
        signedValue = negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
        if (signedValue < std::numeric_limits<std::int32_t>::min() ||
            signedValue > std::numeric_limits<std::int32_t>::max()) {
            return false;
        }
    }
    out = static_cast<std::int32_t>(signedValue);
    return true;
}

bool IsIntegerText(std::string_view s) {
    std::int32_t dummy;
    return ParseIntegerText(s, dummy);
}

namespace {
bool DoubleToInt(double d, int& out) {
    if (!std::isfinite(d))
        return false;
    double r = std::nearbyint(d);
    if (r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    out = static_cast<int>(r);
    return true;
}

bool TextToInt(std::string_view text, int& out) {
    std::string t = Trim(text);
    std::int32_t i;
    if (ParseIntegerText(t, i)) {
        out = i;
        return true;
    }
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty())
        return false;
    double d;
    auto r = std::from_chars(t.data(), t.data() + t.size(), d);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size())
        return false;
    return DoubleToInt(d, out);
}
}  // namespace

int ValueToIntDef(const Value& v, int def) {
    if (std::holds_alternative<std::monostate>(v))
        return 0;
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
        if (*i < std::numeric_limits<std::int32_t>::min() ||
            *i > std::numeric_limits<std::int32_t>::max()) {
            return def;
        }
        return static_cast<int>(*i);
    }
    int out = def;
    if (const auto* d = std::get_if<double>(&v))
        return DoubleToInt(*d, out) ? out : def;
    if (const auto* s = std::get_if<std::string>(&v))
        return TextToInt(*s, out) ? out : def;
    return def;
}

std::string FormatDecimalComma(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

}  // namespace orv
