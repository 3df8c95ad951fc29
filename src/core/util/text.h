#pragma once
// Small text and conversion helpers shared by every subsystem. Texts are UTF-8 unless a
// function says it works on windows-1251 bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/value.h"

namespace orv {

// Removes characters with codes 0..32 from both ends.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// The keyed, self-inverse scramble of stored texts, on raw bytes; stops at the first NUL.
std::string ScrambleText(std::string_view bytes);
// Stored form of a text: the scramble of its windows-1251 bytes; and back.
std::string ScrambleForStorage(std::string_view utf8);
std::string UnscrambleFromStorage(std::string_view stored);

// Plain text of an HTML fragment: "<br>" becomes CR, every other tag one space, and character
// references are decoded.
std::string StripMarkup(std::string_view html);
std::string CollapseSpaces(std::string_view s);
void SplitText(std::string_view text, std::string_view separator, std::vector<std::string>& list);
std::vector<std::string> SplitText(std::string_view text, std::string_view separator);
std::string IndexWords(std::string_view text);
std::string ZeroPad(std::int64_t n, int width);

int ValueToIntDef(const Value& v, int def);
bool IsIntegerText(std::string_view s);
// Parses what IsIntegerText accepts; false when it is not such a text.
bool ParseIntegerText(std::string_view s, std::int32_t& out);

// Locale-independent decimal text with the Russian separator (the comma), as in "2,5".
std::string FormatDecimalComma(double v);

}  // namespace orv
