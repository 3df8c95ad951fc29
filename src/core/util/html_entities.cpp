#include "util/html_entities.h"

#include <algorithm>
#include <array>

#include "util/cp1251.h"

namespace orv {

namespace {

struct Named {
    std::string_view name;
    char32_t c;
};

// Sorted by name, for a binary search.
constexpr std::array kNamed = std::to_array<Named>({
    {"Alpha", 0x391},  {"Beta", 0x392},   {"Delta", 0x394},   {"Gamma", 0x393},  {"Omega", 0x3A9},
    {"Prime", 0x2033}, {"Sigma", 0x3A3},  {"acute", 0xB4},    {"alpha", 0x3B1},  {"amp", 0x26},
    {"apos", 0x27},    {"asymp", 0x2248}, {"bdquo", 0x201E},  {"beta", 0x3B2},   {"brvbar", 0xA6},
    {"bull", 0x2022},  {"cent", 0xA2},    {"copy", 0xA9},     {"curren", 0xA4},  {"dagger", 0x2020},
    {"darr", 0x2193},  {"deg", 0xB0},     {"delta", 0x3B4},   {"divide", 0xF7},  {"epsilon", 0x3B5},
    {"equiv", 0x2261}, {"euro", 0x20AC},  {"frac12", 0xBD},   {"frac14", 0xBC},  {"frac34", 0xBE},
    {"gamma", 0x3B3},  {"ge", 0x2265},    {"gt", 0x3E},       {"harr", 0x2194},  {"hellip", 0x2026},
    {"iexcl", 0xA1},   {"infin", 0x221E}, {"iquest", 0xBF},   {"kappa", 0x3BA},  {"lambda", 0x3BB},
    {"laquo", 0xAB},   {"larr", 0x2190},  {"ldquo", 0x201C},  {"le", 0x2264},    {"lsaquo", 0x2039},
    {"lsquo", 0x2018}, {"lt", 0x3C},      {"macr", 0xAF},     {"mdash", 0x2014}, {"micro", 0xB5},
    {"middot", 0xB7},  {"minus", 0x2212}, {"mu", 0x3BC},      {"nbsp", 0xA0},    {"ndash", 0x2013},
    {"ne", 0x2260},    {"not", 0xAC},     {"numero", 0x2116}, {"omega", 0x3C9},  {"ordf", 0xAA},
    {"ordm", 0xBA},    {"para", 0xB6},    {"permil", 0x2030}, {"pi", 0x3C0},     {"plusmn", 0xB1},
    {"pound", 0xA3},   {"prime", 0x2032}, {"quot", 0x22},     {"raquo", 0xBB},   {"rarr", 0x2192},
    {"rdquo", 0x201D}, {"reg", 0xAE},     {"rsaquo", 0x203A}, {"rsquo", 0x2019}, {"sbquo", 0x201A},
    {"sect", 0xA7},    {"shy", 0xAD},     {"sigma", 0x3C3},   {"sup1", 0xB9},    {"sup2", 0xB2},
    {"sup3", 0xB3},    {"times", 0xD7},   {"trade", 0x2122},  {"uarr", 0x2191},  {"uml", 0xA8},
    {"yen", 0xA5},
});

constexpr bool Sorted() {
    for (size_t i = 1; i < kNamed.size(); ++i)
        if (!(kNamed[i - 1].name < kNamed[i].name))
            return false;
    return true;
}
static_assert(Sorted(), "the named references must stay sorted");

constexpr size_t kLongestName = 8;

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The character of the reference whose body (between "&" and ";") is `body`, or 0.
char32_t Lookup(std::string_view body) {
    if (body.size() >= 2 && body[0] == '#') {
        const bool hex = body[1] == 'x' || body[1] == 'X';
        std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8)
            return 0;
        char32_t v = 0;
        for (char d : digits) {
            int n;
            if (d >= '0' && d <= '9')
                n = d - '0';
            else if (hex && d >= 'a' && d <= 'f')
                n = d - 'a' + 10;
            else if (hex && d >= 'A' && d <= 'F')
                n = d - 'A' + 10;
            else
                return 0;
            v = v * (hex ? 16 : 10) + static_cast<char32_t>(n);
        }
        if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
            return 0;
        return v;
    }
    auto it = std::lower_bound(kNamed.begin(), kNamed.end(), body,
                               [](const Named& n, std::string_view b) { return n.name < b; });
    return it != kNamed.end() && it->name == body ? it->c : 0;
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t amp = text.find('&', i);
        if (amp == std::string_view::npos)
            break;
        out.append(text.substr(i, amp - i));
        // The body: "#" and digits, or letters and digits, closed by ";" within a short run.
        size_t end = amp + 1;
        if (end < text.size() && text[end] == '#')
            ++end;
        while (end < text.size() && end - amp <= kLongestName + 2 && IsAsciiAlnum(text[end]))
            ++end;
        const char32_t c =
            end < text.size() && text[end] == ';' ? Lookup(text.substr(amp + 1, end - amp - 1)) : 0;
        if (c != 0) {
            AppendUtf8(out, c);
            i = end + 1;
        } else {
            out += '&';
            i = amp + 1;
        }
    }
    out.append(text.substr(std::min(i, text.size())));
    return out;
}

}  // namespace orv
