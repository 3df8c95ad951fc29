#include "search/keyboard_layout.h"

#include <array>
#include <cstdlib>

#include "util/cp1251.h"

namespace orv {
namespace {

// The same keys in both layouts, unshifted and shifted. Each pair of rows lines up key by key.
constexpr std::u32string_view kLatinKeys =
    U"`qwertyuiop[]asdfghjkl;'zxcvbnm,./~QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>?@#$^&|";
constexpr std::u32string_view kRussianKeys =
    U"ёйцукенгшщзхъфывапролджэячсмитьбю.ЁЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ,\"№;:?/";
static_assert(kLatinKeys.size() == kRussianKeys.size());

std::string Reread(std::string_view utf8, std::u32string_view from, std::u32string_view to) {
    std::string out;
    out.reserve(utf8.size() * 2);
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t c = DecodeUtf8(utf8, pos);
        const size_t at = from.find(c);
        AppendUtf8(out, at == std::u32string_view::npos ? c : to[at]);
    }
    return out;
}

// Rows of letter keys, lower case, in windows-1251; a key's neighbours are beside it and,
// the rows being staggered, the two nearest keys of the rows above and below.
struct KeyRows {
    std::array<std::string, 3> rows;
};

KeyRows Rows(std::u32string_view r1, std::u32string_view r2, std::u32string_view r3) {
    KeyRows k;
    std::u32string_view src[3] = {r1, r2, r3};
    for (int i = 0; i < 3; ++i) {
        std::string utf8;
        for (char32_t c : src[i])
            AppendUtf8(utf8, c);
        k.rows[static_cast<size_t>(i)] = Utf8ToCp1251(utf8);
    }
    return k;
}

const KeyRows& Latin() {
    static const KeyRows k = Rows(U"qwertyuiop", U"asdfghjkl", U"zxcvbnm");
    return k;
}
const KeyRows& Russian() {
    static const KeyRows k = Rows(U"йцукенгшщзхъ", U"фывапролджэ", U"ячсмитьбю");
    return k;
}

bool Neighbours(const KeyRows& k, unsigned char a, unsigned char b) {
    int ra = -1, pa = -1, rb = -1, pb = -1;
    for (int r = 0; r < 3; ++r) {
        const std::string& row = k.rows[static_cast<size_t>(r)];
        const size_t ia = row.find(static_cast<char>(a));
        const size_t ib = row.find(static_cast<char>(b));
        if (ia != std::string::npos)
            ra = r, pa = static_cast<int>(ia);
        if (ib != std::string::npos)
            rb = r, pb = static_cast<int>(ib);
    }
    if (ra < 0 || rb < 0)
        return false;
    if (ra == rb)
        return std::abs(pa - pb) == 1;
    if (std::abs(ra - rb) != 1)
        return false;
    // A lower row starts a little to the right: its key p touches keys p and p+1 above.
    const int upperPos = ra < rb ? pa : pb;
    const int lowerPos = ra < rb ? pb : pa;
    return upperPos == lowerPos || upperPos == lowerPos + 1;
}

}  // namespace

std::string LatinKeysToRussian(std::string_view utf8) {
    return Reread(utf8, kLatinKeys, kRussianKeys);
}

std::string RussianKeysToLatin(std::string_view utf8) {
    return Reread(utf8, kRussianKeys, kLatinKeys);
}

bool AreNeighbourKeys(unsigned char a, unsigned char b) {
    return a != b && (Neighbours(Latin(), a, b) || Neighbours(Russian(), a, b));
}

}  // namespace orv
