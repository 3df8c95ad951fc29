#pragma once
// Names compare and order as the Russian locale does: case ignored, Ё sorting with Е.
#include <sqlite3.h>

#include <string_view>

namespace orv {

int RussianCompare(std::string_view a, std::string_view b);
void RegisterRussianCollation(sqlite3* db);

}  // namespace orv
