#pragma once
// Of the two statements of one search (statements.h), the one that reads less here.
#include <string>

#include "db/reference.h"

namespace orv {

// What the plain statement scans: the names alone (the narrow list index, quick to read) or
// the word columns too (the wide search index, several times slower).
enum class PlainScan { Names, Texts };

// `indexed` when the word index leaves out enough rows; `plain` when the words are in so many
// that the scan costs less: it reads an index once, where the word index adds a look-up of
// each row in the wide table and a sort. Both give the same rows in the same order. A small
// reference keeps `indexed`.
std::string ChooseStatement(Reference& ref, const std::string& plain, const std::string& indexed,
                            PlainScan scan);

}  // namespace orv
