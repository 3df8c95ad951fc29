#include "search/statements.h"

#include <array>
#include <cstdint>

#include "search/conditions.h"
#include "util/text.h"

namespace orv {
namespace {

// A condition is kept only if something but the letters "or" is left in it.
std::string AndIfNotEmpty(const std::string& condition) {
    std::string rest;
    for (size_t i = 0; i < condition.size(); ++i) {
        if (condition.compare(i, 2, "or") == 0) {
            ++i;
            continue;
        }
        rest += condition[i];
    }
    return Trim(rest).empty() ? std::string() : " and " + condition;
}

// Joins the non-empty conditions, each followed by the joiner.
template <size_t N>
std::string JoinEach(const std::array<std::string, N>& conditions, std::string_view joiner) {
    std::string joined;
    for (const auto& c : conditions) {
        if (Trim(c).empty())
            continue;
        joined += c;
        joined += joiner;
    }
    return joined;
}

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

}  // namespace

std::string LinesToWords(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += ' ';
            ++i;
        } else if (text[i] == '\r' || text[i] == '\n') {
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string NameFilterSql(std::string_view text, const std::string& nameColumn) {
    const std::string condition = AndIfNotEmpty(LikeCondition(text, nameColumn, false));
    return "select * from b where id>0 " + condition + " order by " + nameColumn;
}

std::optional<std::string> UniversalSearchSql(std::string_view text,
                                              const std::string& nameColumn) {
    const std::string words = " " + LinesToWords(text);
    const std::string joined = JoinEach(
        std::array<std::string, 4>{
            LikeCondition(words, nameColumn, false), LikeCondition(words, "synonim", false),
            LikeCondition(words, "ndx1", false), LikeCondition(words, "ndx2", false)},
        " or ");
    if (!EndsWith(joined, " or "))
        return std::nullopt;
    const std::string clause = " where (" + joined.substr(0, joined.size() - 3) + ")";
    return "select * from b " + clause + " order by " + nameColumn;
}

std::string SynonymCondition(std::string_view name, std::string_view synonim,
                             std::string_view searchText, const std::string& nameColumn) {
    std::string list(name);
    list += ',';
    list += synonim;
    const std::string names = ListCondition(list, nameColumn);
    const std::string words = LikeCondition(searchText, "synonim", false);
    // Joined only when both exist: a dangling " or " would break the statement.
    std::string condition = names;
    if (!names.empty() && !words.empty())
        condition += " or ";
    condition += words;
    return AndIfNotEmpty(condition);
}

std::string SynonymSql(const std::string& condition, const std::string& nameColumn) {
    return "select * from b where id>0" + condition + " order by " + nameColumn;
}

std::string ResetSelectionSql(const std::string& nameColumn) {
    return "select * from b where id>0 order by " + nameColumn;
}

std::optional<std::string> ExtendedSearchSql(const ExtendedCriteria& criteria,
                                             const std::string& nameColumn) {
    auto condition = [](const std::string& text, const std::string& column) {
        return LikeCondition(" " + LinesToWords(text), column, false);
    };
    const std::string joined = JoinEach(
        std::array<std::string, 4>{
            condition(criteria.name, nameColumn), condition(criteria.synonyms, "synonim"),
            condition(criteria.indications, "ndx1"), condition(criteria.action, "ndx2")},
        " and ");
    if (!EndsWith(joined, " and "))
        return std::nullopt;
    return "select * from b  where " + joined + " id>0  order by " + nameColumn;
}

std::optional<int> PacketNumberOfEntry(std::string_view entry) {
    const size_t bracket = entry.find(" (");
    const std::string number =
        Trim(bracket == std::string_view::npos ? std::string_view() : entry.substr(0, bracket));
    std::int32_t value = 0;
    if (!ParseIntegerText(number, value))
        return std::nullopt;
    return value;
}

std::string PacketFilterSql(int packet, const std::string& nameColumn) {
    return "select * from b where status=" + std::to_string(packet) + " order by " + nameColumn;
}

}  // namespace orv
