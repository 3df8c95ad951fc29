#pragma once
// The two keyboard layouts a name is typed in at the counter: Russian ЙЦУКЕН and US QWERTY.
// A text typed with the wrong layout switched on is re-read key by key in the other one,
// punctuation keys included (б ю ж э х ъ ё sit where , . ; ' [ ] ` are).
//
//   LatinKeysToRussian("yj-igf") == "но-шпа"
//   RussianKeysToLatin("ыгьфьув") == "sumamed"
#include <string>
#include <string_view>

namespace orv {

// Every QWERTY character re-read as the ЙЦУКЕН one on the same key; everything else stays.
std::string LatinKeysToRussian(std::string_view utf8);
// Every ЙЦУКЕН character re-read as the QWERTY one on the same key; everything else stays.
std::string RussianKeysToLatin(std::string_view utf8);

// Whether two lower-case windows-1251 letters sit on neighbouring keys of the same layout.
bool AreNeighbourKeys(unsigned char a, unsigned char b);

}  // namespace orv
