#pragma once
// The quick filter's calls into the search core. The window only gathers the text and shows
// what comes back; the statements and the rows they land on are decided here (core code).
#include <string>

namespace orv {
class DataSet;
class Reference;
}  // namespace orv

namespace orv::app::searchcore {

// Incremental locate of a name by prefix, ignoring case; true when found (else the cursor stays).
bool LocateName(DataSet& data, const std::string& nameColumn, const std::string& text);

// Name filter; false when nothing was done (the list is already unfiltered).
bool FilterTableName(Reference& ref, const std::string& text);

// Universal search; false when the text yields no condition (nothing changes).
bool UniversalSearch(Reference& ref, const std::string& text);

// Synonym selection from the current row of qMain; false when nothing was done.
bool FilterTableSynonim(Reference& ref, const std::string& filterText);

// "Сбросить выборку": every preparation, staying on the current one of `active`.
void ResetSelection(Reference& ref, DataSet& active);

// "Показать всё".
void ShowAll(Reference& ref);

}  // namespace orv::app::searchcore
