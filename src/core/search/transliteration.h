#pragma once
// Russian names spelled in Latin letters, as they are written on packs, in passports (GOST)
// and informally: "nurofen", "no-shpa", "tsitramon", "citramon", "shchi", "xylometazoline".
//
// A Latin spelling has many readings (c is ц, к or с; y is ы, й or и; sh is ш or с+х), so it
// is read as a small graph: every way to cut the text into spellings, each spelling giving
// one Cyrillic reading. The name matcher walks that graph against the names.
//
//   TransliterateLatin("no-shpa") == "но-шпа"        (the most common reading of each piece)
//   TransliterateLatin("Tsitramon") == "Цитрамон"
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// One way to read `length` characters of the text starting at `start`.
struct LatinSpelling {
    int start;
    int length;
    std::string cyrillic;  // lower-case windows-1251 bytes; empty = the letters are silent
    int penalty;           // added cost in tenths of an edit (0 for the usual readings)
};

// Every reading of every piece of a lower-case windows-1251 text; characters that are not
// Latin letters read as themselves. Positions are byte offsets into `text`.
std::vector<LatinSpelling> LatinSpellings(std::string_view cp1251Lower);

// The most common reading, kept in the case of the typed letters (UTF-8 in, UTF-8 out).
std::string TransliterateLatin(std::string_view utf8);

// Whether the text holds a Latin letter.
bool HasLatinLetter(std::string_view utf8);

}  // namespace orv
