#pragma once
// The list statements of the searches, built from typed text and nothing else. Pure text:
// the commands in quick_filter.h and extended_search.h run them.
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// With `indexed`, a statement first narrows the rows by the word index (db/search_index.h) and
// orders ties of the name by id: the same rows in the same order as the plain statement. A
// text with no word long enough for the index gives the plain statement.

// Name filter: "select * from b where id>0  and <words on the name> order by <name>".
std::string NameFilterSql(std::string_view text, const std::string& nameColumn,
                          bool indexed = false);

// Universal search: the words anywhere in the name, the synonyms or either word index.
// nullopt when the text gives no condition at all.
std::optional<std::string> UniversalSearchSql(std::string_view text, const std::string& nameColumn,
                                              bool indexed = false);

// Synonym selection from the current row's name and synonym list and the search text (the
// typed text, or " " + the name when nothing is typed). "" when nothing selects anything.
std::string SynonymCondition(std::string_view name, std::string_view synonim,
                             std::string_view searchText, const std::string& nameColumn);
// The index's query for the rows the synonym condition may select; "" when it cannot narrow.
std::string SynonymCandidates(std::string_view name, std::string_view synonim,
                              std::string_view searchText, const std::string& nameColumn);
std::string SynonymSql(const std::string& condition, const std::string& nameColumn,
                       const std::string& candidates = {});

// "Сбросить выборку" and "Показать всё".
std::string ResetSelectionSql(const std::string& nameColumn);
inline constexpr const char* kShowAllSql = "select * from b order by pname";

// The four criteria of the extended search, as typed (memo texts with their line breaks).
struct ExtendedCriteria {
    std::string name{};         // edfName, on the name column
    std::string synonyms{};     // edfSyn, on synonim
    std::string indications{};  // mmfPrim, on ndx1
    std::string action{};       // mmfAction, on ndx2
};
// nullopt when no criterion gives a condition.
std::optional<std::string> ExtendedSearchSql(const ExtendedCriteria& criteria,
                                             const std::string& nameColumn, bool indexed = false);

// The packet number of a packet list entry ("12 (09.12.2026 10:15:00)"); nullopt when the
// entry does not start with an integer.
std::optional<int> PacketNumberOfEntry(std::string_view entry);
std::string PacketFilterSql(int packet, const std::string& nameColumn);

// Memo text with every line break (CR LF, or a lone CR or LF) replaced by a space.
std::string LinesToWords(std::string_view text);

}  // namespace orv
