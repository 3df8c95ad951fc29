#pragma once
// Of the two statements of one search (statements.h), the one that reads less here.
#include <string>

#include <optional>
#include <string_view>

#include "db/reference.h"
#include "search/statements.h"

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

// The statements the searches run (and `--sql` prints): each builder of statements.h, indexed
// when the reference has the index, with the choice above made.
std::string NameFilterStatement(Reference& ref, std::string_view text);
std::optional<std::string> UniversalSearchStatement(Reference& ref, std::string_view text);
std::string SynonymStatement(Reference& ref, const std::string& condition,
                             const std::string& candidates);
std::optional<std::string> ExtendedSearchStatement(Reference& ref,
                                                   const ExtendedCriteria& criteria);

}  // namespace orv
