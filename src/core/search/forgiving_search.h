#pragma once
// The quick filter's second try, only where the exact text finds nothing: the text read in
// the other keyboard layout or as a Latin spelling, and otherwise the names it probably meant
// (name_matcher.h). Whenever the exact text finds something, the result is exactly the exact
// command's.
//
//   LocateForgiving(qMain, "pname", m, "yj-igf")  -> on Но-шпа, status "Показано для «но-шпа»"
//   FilterEnterForgiving(ref, m, "yj-igf", ...)   -> the name filter of "но-шпа", the box shows it
//   FilterEnterForgiving(ref, m, "нурафен", ...)  -> the empty list, suggestions {Нурофен, ...}
//   TakeSuggestion(ref, 7)                        -> the whole list, on preparation 7
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/dataset.h"
#include "db/reference.h"
#include "search/command_result.h"

namespace orv {

class NameMatcher;

// The matcher, asked for only when the exact text found nothing (it may have to be built
// first); nullptr when it cannot be had: then the commands are the exact ones.
using NameSource = std::function<const NameMatcher*()>;

// At most this many names are offered.
inline constexpr size_t kMaxNameSuggestions = 5;

// The other ways to read a typed text, in the order they are tried: the other keyboard layout
// (both ways), then the Latin spellings that begin a name or synonym, then the most common
// Latin spelling. Lower case, without the text itself and without repeats. A text longer
// than a name can be gives none.
std::vector<std::string> TextReadings(const NameMatcher& matcher, std::string_view text);

// "Показано для «но-шпа»" (cut for the status line).
std::string ShownForStatus(std::string_view reading);

// The type-ahead locate (LocateFilterText); when the text locates nothing, the first reading
// that locates a name is used: redraw and the status "Показано для «reading»". The box keeps
// what was typed.
CommandResult LocateForgiving(DataSet& active, const std::string& nameColumn,
                              const NameSource& names, std::string_view text);

// Enter in the filter box (FilterEnter); when its statement returns no rows, the first reading
// whose statement has rows is run instead (the box shows the reading, the status says so);
// with none, the result offers the names the text probably meant.
CommandResult FilterEnterForgiving(Reference& ref, const NameSource& names, std::string_view text,
                                   bool universal, DataSet& active, const StatusFn& status = {});

// The names the text probably meant, best first, at most `limit`.
std::vector<NameSuggestion> SuggestNames(const NameMatcher& matcher, std::string_view text,
                                         size_t limit = kMaxNameSuggestions);

// A suggestion taken: the whole list (the selection reset, as a partner search does), on the
// preparation; the box shows its name.
CommandResult TakeSuggestion(Reference& ref, const NameSuggestion& suggestion);

// Whether a list statement returns any row.
bool StatementHasRows(Database& db, const std::string& sql);

}  // namespace orv
