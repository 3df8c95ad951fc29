#pragma once
// Marking the typed search words on the description page.
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// Wraps every occurrence of `word` in the text of one page line, ignoring case as the
// windows-1251 letters do, with the highlight font; the inserted word is the word as typed.
// Only text outside markup changes: never a tag, an attribute or an entity.
std::string HighlightWord(std::string_view line, std::string_view word);

// The highlighting pass over a whole page: the words of the filter text, from the line with the
// preparation's name (two below the first "<table") to the last line. Never fails: on any error
// the lines stay as far as they got.
void HighlightSearchWords(std::vector<std::string>& lines, std::string_view filterText);

}  // namespace orv
