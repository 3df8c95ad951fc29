// Jet LIKE: pattern and value (separated by the first NUL) through the fast matcher, compared
// with a slow matcher written here from the rules: % any run, _ one character, [...] a class
// with ranges, [!...] negated, the first character after [ or [! literal ("[!]" is "!"), an
// unclosed [ an ordinary character, letters without case over the windows-1251 repertoire.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/jet_like.h"
#include "fuzz_support.h"
#include "util/cp1251.h"

namespace {

struct Token {
    enum Kind { Star, One, Literal, Class } kind;
    explicit Token(Kind k, char32_t c = 0) : kind(k), ch(c) {}
    char32_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

char32_t Fold(char32_t c) {
    return orv::UpperChar(c);
}

// Strict UTF-8 (what the program stores); nullopt-like flag when the bytes are not.
bool DecodeStrict(std::string_view s, std::u32string& out) {
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80             ? 1
                  : (b & 0xE0) == 0xC0 ? 2
                  : (b & 0xF0) == 0xE0 ? 3
                  : (b & 0xF8) == 0xF0 ? 4
                                       : 0;
        if (len == 0 || i + static_cast<size_t>(len) > s.size())
            return false;
        char32_t c = len == 1 ? b : b & (0x7F >> len);
        for (int k = 1; k < len; ++k) {
            const auto cb = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            if ((cb & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (cb & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out.push_back(c);
        i += static_cast<size_t>(len);
    }
    return true;
}

std::vector<Token> Tokens(const std::u32string& p) {
    std::vector<Token> t;
    for (size_t i = 0; i < p.size();) {
        if (p[i] == U'%') {
            t.emplace_back(Token::Star);
            ++i;
        } else if (p[i] == U'_') {
            t.emplace_back(Token::One);
            ++i;
        } else if (p[i] == U'[') {
            size_t j = i + 1;
            Token cls(Token::Class);
            if (j + 1 < p.size() && p[j] == U'!' && p[j + 1] != U']') {
                cls.negated = true;
                ++j;
            }
            bool first = true;
            while (j < p.size() && (first || p[j] != U']')) {
                if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
                    cls.ranges.push_back({Fold(p[j]), Fold(p[j + 2])});
                    j += 3;
                } else {
                    cls.ranges.push_back({Fold(p[j]), Fold(p[j])});
                    ++j;
                }
                first = false;
            }
            if (j >= p.size()) {
                t.emplace_back(Token::Literal, U'[');
                ++i;
            } else {
                t.push_back(cls);
                i = j + 1;
            }
        } else {
            t.emplace_back(Token::Literal, Fold(p[i]));
            ++i;
        }
    }
    return t;
}

bool Accepts(const Token& t, char32_t c) {
    const char32_t f = Fold(c);
    switch (t.kind) {
        case Token::One:
            return true;
        case Token::Literal:
            return f == t.ch;
        case Token::Class: {
            bool in = false;
            for (auto [lo, hi] : t.ranges)
                in = in || (f >= lo && f <= hi);
            return in != t.negated;
        }
        case Token::Star:
            break;
    }
    return false;
}

// Dynamic programming over (token, character): slow and obviously right.
bool SlowMatch(const std::vector<Token>& t, const std::u32string& v) {
    std::vector<char> row(v.size() + 1, 0), next(v.size() + 1, 0);
    row[0] = 1;
    for (const auto& tok : t) {
        std::fill(next.begin(), next.end(), 0);
        for (size_t j = 0; j <= v.size(); ++j) {
            if (tok.kind == Token::Star) {
                next[j] = row[j] || (j > 0 && next[j - 1]);
            } else if (j > 0) {
                next[j] = row[j - 1] && Accepts(tok, v[j - 1]);
            }
        }
        row.swap(next);
    }
    return row[v.size()] != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const size_t nul = in.find('\0');
    const std::string_view pattern = in.substr(0, nul);
    const std::string_view value = nul == std::string_view::npos ? in : in.substr(nul + 1);
    const bool fast = orv::LikePattern(pattern).Matches(value);
    std::u32string p, v;
    if (!DecodeStrict(pattern, p) || !DecodeStrict(value, v))
        return 0;  // only crashes count for bytes that are not text
    if (fast != SlowMatch(Tokens(p), v))
        orv::fuzz::Fail(fast ? "like matched, the rules say no" : "like missed, the rules say yes",
                        in);
    return 0;
}
