#include "db/russian_collation.h"

#include "db/jet_like.h"
#include "util/cp1251.h"

namespace orv {
namespace {
char32_t Primary(char32_t folded) {
    return folded == 0x0401 ? 0x0415 : folded;
}
}  // namespace

int RussianCompare(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    int secondary = 0;
    while (i < a.size() && j < b.size()) {
        char32_t ca = FoldCase(DecodeUtf8(a, i));
        char32_t cb = FoldCase(DecodeUtf8(b, j));
        char32_t pa = Primary(ca), pb = Primary(cb);
        if (pa != pb)
            return pa < pb ? -1 : 1;
        if (secondary == 0 && ca != cb)
            secondary = ca == 0x0401 ? 1 : -1;  // Е before Ё
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return secondary;
}

namespace {
int Compare(void*, int na, const void* pa, int nb, const void* pb) {
    return RussianCompare(std::string_view(static_cast<const char*>(pa), static_cast<size_t>(na)),
                          std::string_view(static_cast<const char*>(pb), static_cast<size_t>(nb)));
}
}  // namespace

void RegisterRussianCollation(sqlite3* db) {
    sqlite3_create_collation_v2(db, "RU", SQLITE_UTF8, nullptr, Compare, nullptr);
}

}  // namespace orv
