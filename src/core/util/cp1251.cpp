#include "util/cp1251.h"

#include <array>

namespace orv {
namespace {

constexpr std::array<char16_t, 64> kHigh80 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char32_t ByteToChar(unsigned char b) {
    if (b < 0x80)
        return b;
    if (b < 0xC0)
        return kHigh80[b - 0x80];
    return 0x0410 + (b - 0xC0);
}

struct Tables {
    std::array<bool, 256> letter{};
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    // Cyrillic block U+0400..U+045F and U+0490/U+0491 -> byte (0 = none).
    std::array<unsigned char, 0x60> cyr{};

    Tables() {
        for (int i = 0; i < 256; ++i) {
            upper[i] = lower[i] = static_cast<unsigned char>(i);
        }
        auto pair = [this](int up, int lo) {
            letter[up] = letter[lo] = true;
            upper[lo] = static_cast<unsigned char>(up);
            lower[up] = static_cast<unsigned char>(lo);
        };
        for (int c = 'A'; c <= 'Z'; ++c)
            pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDF; ++c)
            pair(c, c + 32);
        pair(0x80, 0x90);
        pair(0x81, 0x83);
        pair(0x8A, 0x9A);
        pair(0x8C, 0x9C);
        pair(0x8D, 0x9D);
        pair(0x8E, 0x9E);
        pair(0x8F, 0x9F);
        pair(0xA1, 0xA2);
        pair(0xA3, 0xBC);
        pair(0xA5, 0xB4);
        pair(0xA8, 0xB8);
        pair(0xAA, 0xBA);
        pair(0xAF, 0xBF);
        pair(0xB2, 0xB3);
        pair(0xBD, 0xBE);
        letter[0xB5] = true;  // micro sign: a lower-case letter without an upper form
        for (int b = 0x80; b < 0x100; ++b) {
            char32_t c = ByteToChar(static_cast<unsigned char>(b));
            if (c >= 0x0400 && c < 0x0460)
                cyr[c - 0x0400] = static_cast<unsigned char>(b);
        }
    }
};

const Tables& T() {
    static const Tables t;
    return t;
}

// Byte of the code page for a character, or -1.
int CharToByte(char32_t c) {
    if (c < 0x80)
        return static_cast<int>(c);
    if (c >= 0x0400 && c < 0x0460) {
        unsigned char b = T().cyr[c - 0x0400];
        return b ? b : -1;
    }
    for (int i = 0; i < 64; ++i) {
        if (kHigh80[i] == c)
            return 0x80 + i;
    }
    return -1;
}

}  // namespace

char32_t DecodeUtf8(std::string_view s, size_t& pos) {
    auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int n = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : b0 >= 0xC0 ? 1 : 0;
    if (n == 0 || b0 >= 0xF8 || pos + n >= s.size()) {
        ++pos;
        return b0;
    }
    char32_t c = b0 & (0x3F >> n);
    for (int i = 1; i <= n; ++i) {
        auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return b0;
        }
        c = (c << 6) | (b & 0x3F);
    }
    pos += n + 1;
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf8ToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        int b = CharToByte(DecodeUtf8(utf8, pos));
        out += static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes)
        AppendUtf8(out, ByteToChar(static_cast<unsigned char>(ch)));
    return out;
}

bool IsCp1251Letter(unsigned char c) {
    return T().letter[c];
}
unsigned char Cp1251Upper(unsigned char c) {
    return T().upper[c];
}
unsigned char Cp1251Lower(unsigned char c) {
    return T().lower[c];
}

bool IsLetter(char32_t c) {
    int b = CharToByte(c);
    return b >= 0 && T().letter[static_cast<unsigned char>(b)];
}

char32_t UpperChar(char32_t c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= 0x0430 && c <= 0x044F)
        return c - 32;
    int b = CharToByte(c);
    return b < 0 ? c : ByteToChar(T().upper[static_cast<unsigned char>(b)]);
}

char32_t LowerChar(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0x0410 && c <= 0x042F)
        return c + 32;
    int b = CharToByte(c);
    return b < 0 ? c : ByteToChar(T().lower[static_cast<unsigned char>(b)]);
}

namespace {
template <typename F>
std::string MapText(std::string_view s, F f) {
    std::string out;
    out.reserve(s.size());
    for (size_t pos = 0; pos < s.size();)
        AppendUtf8(out, f(DecodeUtf8(s, pos)));
    return out;
}
}  // namespace

std::string UpperText(std::string_view utf8) {
    return MapText(utf8, UpperChar);
}
std::string LowerText(std::string_view utf8) {
    return MapText(utf8, LowerChar);
}

}  // namespace orv
