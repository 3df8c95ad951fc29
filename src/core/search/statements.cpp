#include "search/statements.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "db/search_index.h"
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

// Any subset of a condition's words still narrows to a superset of its rows: the longest few
// are the most selective and keep the index's query small.
constexpr size_t kMostIndexedWords = 8;
// A choice among more alternatives than this reads the index more than it saves.
constexpr size_t kMostIndexedAlternatives = 32;

size_t CharCount(std::string_view utf8) {
    size_t n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

// The trigrams of a word the index is asked for: one every three characters and the last,
// which together cover the word. Any of a word's trigrams narrows to a superset of its rows;
// the overlapping ones between would add little and cost a read each.
std::vector<std::string> CoveringTrigrams(const std::string& word) {
    std::vector<size_t> starts;  // byte offset of each character
    for (size_t i = 0; i < word.size(); ++i) {
        if ((static_cast<unsigned char>(word[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    }
    starts.push_back(word.size());
    const size_t chars = starts.size() - 1;
    std::vector<std::string> out;
    auto add = [&](size_t first) {
        out.push_back(word.substr(starts[first], starts[first + kSearchIndexGram] - starts[first]));
    };
    for (size_t c = 0; c + kSearchIndexGram <= chars; c += kSearchIndexGram)
        add(c);
    if (chars % kSearchIndexGram != 0)
        add(chars - kSearchIndexGram);
    return out;
}

// The index's query for "every word of the text in the column" (any indexed column when
// column is empty); "" when no word is long enough for the index.
std::string AllWordsQuery(const std::vector<std::string>& words, const std::string& column) {
    std::vector<const std::string*> indexed;
    for (const auto& w : words) {
        if (CharCount(w) >= kSearchIndexGram)
            indexed.push_back(&w);
    }
    std::stable_sort(indexed.begin(), indexed.end(),
                     [](const auto* a, const auto* b) { return CharCount(*a) > CharCount(*b); });
    if (indexed.size() > kMostIndexedWords)
        indexed.resize(kMostIndexedWords);
    std::string q;
    for (const std::string* w : indexed) {
        for (const std::string& trigram : CoveringTrigrams(*w)) {
            if (!q.empty())
                q += " AND ";
            if (!column.empty())
                q += "{" + column + "} : ";
            q += '"';
            for (char c : trigram) {
                q += c;
                if (c == '"')
                    q += '"';
            }
            q += '"';
        }
    }
    return q;
}

// Rows that may match, by the index: "" when the query cannot narrow anything.
std::string CandidatesClause(const std::string& query) {
    if (query.empty())
        return {};
    std::string literal;
    for (char c : query) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    return std::string("id in (select rowid from ") + kSearchIndexTable + " where " +
           kSearchIndexTable + " match '" + literal + "')";
}

// Ties of the name (the collation ignores case) keep the order of the name index: by id.
std::string IndexedOrder(const std::string& nameColumn) {
    return " order by " + nameColumn + ", id";
}

std::string ExtendedQuery(const ExtendedCriteria& criteria, const std::string& nameColumn) {
    const std::array<std::pair<const std::string*, std::string>, 4> parts{{
        {&criteria.name, nameColumn},
        {&criteria.synonyms, "synonim"},
        {&criteria.indications, "ndx1"},
        {&criteria.action, "ndx2"},
    }};
    std::string q;
    for (const auto& [text, column] : parts) {
        const std::string part = AllWordsQuery(LikeWords(" " + LinesToWords(*text), false), column);
        if (part.empty())
            continue;
        if (!q.empty())
            q += " AND ";
        q += part;
    }
    return q;
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

std::string NameFilterSql(std::string_view text, const std::string& nameColumn, bool indexed) {
    const std::string condition = AndIfNotEmpty(LikeCondition(text, nameColumn, false));
    const std::string candidates =
        indexed && !condition.empty()
            ? CandidatesClause(AllWordsQuery(LikeWords(text, false), nameColumn))
            : std::string();
    if (!candidates.empty())
        return "select * from b where id>0 and " + candidates + condition +
               IndexedOrder(nameColumn);
    return "select * from b where id>0 " + condition + " order by " + nameColumn;
}

std::optional<std::string> UniversalSearchSql(std::string_view text, const std::string& nameColumn,
                                              bool indexed) {
    const std::string words = " " + LinesToWords(text);
    const std::string joined = JoinEach(
        std::array<std::string, 4>{
            LikeCondition(words, nameColumn, false), LikeCondition(words, "synonim", false),
            LikeCondition(words, "ndx1", false), LikeCondition(words, "ndx2", false)},
        " or ");
    if (!EndsWith(joined, " or "))
        return std::nullopt;
    const std::string clause = " where (" + joined.substr(0, joined.size() - 3) + ")";
    // The same words on every column: a row has them all in one of its columns.
    const std::string candidates =
        indexed ? CandidatesClause(AllWordsQuery(LikeWords(words, false), "")) : std::string();
    if (!candidates.empty())
        return "select * from b  where " + candidates + " and" + clause.substr(6) +
               IndexedOrder(nameColumn);
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

std::string SynonymCandidates(std::string_view name, std::string_view synonim,
                              std::string_view searchText, const std::string& nameColumn) {
    std::string list(name);
    list += ',';
    list += synonim;
    std::vector<std::string> alternatives;
    for (const std::string& piece : SplitText(list, ",")) {
        const std::vector<std::string> words = LikeWords(Trim(piece), true);
        if (words.empty())
            continue;
        alternatives.push_back(AllWordsQuery(words, nameColumn));
    }
    const std::vector<std::string> words = LikeWords(searchText, false);
    if (!words.empty())
        alternatives.push_back(AllWordsQuery(words, "synonim"));
    if (alternatives.empty() || alternatives.size() > kMostIndexedAlternatives)
        return {};
    std::string q;
    for (const std::string& a : alternatives) {
        // One alternative the index cannot narrow lets every row through.
        if (a.empty())
            return {};
        if (!q.empty())
            q += " OR ";
        q += "(" + a + ")";
    }
    return q;
}

std::string SynonymSql(const std::string& condition, const std::string& nameColumn,
                       const std::string& candidates) {
    const std::string clause = CandidatesClause(candidates);
    if (!clause.empty() && !condition.empty())
        return "select * from b where " + clause + " and (id>0" + condition + ")" +
               IndexedOrder(nameColumn);
    return "select * from b where id>0" + condition + " order by " + nameColumn;
}

std::string ResetSelectionSql(const std::string& nameColumn) {
    return "select * from b where id>0 order by " + nameColumn;
}

std::optional<std::string> ExtendedSearchSql(const ExtendedCriteria& criteria,
                                             const std::string& nameColumn, bool indexed) {
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
    const std::string candidates =
        indexed ? CandidatesClause(ExtendedQuery(criteria, nameColumn)) : std::string();
    if (!candidates.empty())
        return "select * from b  where " + candidates + " and " + joined + " id>0 " +
               IndexedOrder(nameColumn);
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
