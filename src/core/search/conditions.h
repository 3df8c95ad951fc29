#pragma once
// Typed text -> SQL conditions for the database's Jet-style `like`.
//
// No escape character is ever used: every character of a word except digits and the decimal
// separator (the comma, as in a Russian locale) is written as a one-character class, letters
// as [Upper lower]. Whatever the text holds, it cannot leave the string literal.
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// A condition on one column from one search text, or "" when the text gives none.
//
// Word mode (exact = false): spaces and "%" separate words; a separator before the first word
// makes it an anywhere word, otherwise it is a prefix word; every later word is an anywhere
// word; all words must match, in any order.
//   LikeCondition("но шпа", "name", false)
//     == "name like '[Нн][Оо]%' and name like '%[Шш][Пп][Аа]%'"
// Exact mode: only "%" separates; the value must equal the first word apart from case.
std::string LikeCondition(std::string_view text, std::string_view column, bool exact);

// The literal words the terms of LikeCondition(text, ..., exact) look for, each of which a
// matching value holds (apart from case); empty when the text gives no condition.
std::vector<std::string> LikeWords(std::string_view text, bool exact);

// " " + one exact condition per comma-separated name, joined by " or "; "" when no piece
// gives a condition (empty pieces are skipped).
//   ListCondition("Но-шпа,Дротаверин", "name")
//     == " name like '[Нн][Оо][-][Шш][Пп][Аа]' or name like '[Дд][Рр]...[Нн]'"
std::string ListCondition(std::string_view list, std::string_view nameColumn);

}  // namespace orv
