#pragma once
// Of the two statements of one search (statements.h), the one that reads less here.
#include <string>

#include "db/reference.h"

namespace orv {

// `indexed` when the word index leaves out most rows; `plain` when the words are in most of
// them: the scan reads the list's own index once, the word index would add a look-up of each
// row and a sort. Both give the same rows in the same order. A small reference keeps `indexed`.
std::string ChooseStatement(Reference& ref, const std::string& plain, const std::string& indexed);

}  // namespace orv
