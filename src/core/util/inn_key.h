#pragma once
// The plain key of an international non-proprietary name (field n13): two preparations with
// the same key hold the same active substance under different trade names.
//
//   InnKey("<b>Метамизол натрия</b>")        -> "метамизол"
//   InnKey("Папаверина гидрохлорид")          -> "папаверин"
//   InnKey("Натрия хлорид")                   -> "натрия хлорид"   (the salt is the substance)
//   InnKey("Кофеин+Парацетамол")              -> "кофеин + парацетамол"
//   InnKey("Парацетамол + кофеин")            -> "кофеин + парацетамол"
//   InnKey("калия") , InnKey("") , InnKey("<br>") -> ""      (no substance named)
#include <string>
#include <string_view>

namespace orv {

// `inn` is the display text (UTF-8, may hold markup). Markup is stripped, case and ё folded,
// punctuation and runs of spaces reduced to single spaces; components of a combination
// ("+", ",", ";") are keyed one by one and sorted. Within a component the salt and form
// words of the table in inn_key.cpp are dropped as long as another word remains; a component
// that is a single salt word names no substance and is dropped. "" when nothing is left.
std::string InnKey(std::string_view inn);

// The INN as the status line quotes it: markup stripped, spaces collapsed, cut to about 100
// characters with "…".
std::string InnDisplayText(std::string_view inn);

// Cuts a UTF-8 text to `limit` characters, ending it with "…" when it was longer.
std::string CutQuoted(std::string_view text, size_t limit = 100);

}  // namespace orv
