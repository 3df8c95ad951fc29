#include "search/index_choice.h"

#include "db/search_index.h"
#include "util/error.h"

namespace orv {
namespace {

// Below this many rows either statement is instant: the choice is not worth its query.
constexpr std::int64_t kSmallReference = 2000;
// The scan wins once the index lets through this share of the rows (1 / n), measured on
// generated references of 30,000 and 300,000 preparations: a look-up of a row costs about
// what the scan of the names costs for 50 rows, and of the word columns for 4.
std::int64_t ScanShare(PlainScan scan) {
    return scan == PlainScan::Names ? 50 : 4;
}

// The string literal of the index's query in the statement, quotes included; "" when none.
std::string MatchLiteral(const std::string& sql) {
    const std::string key = std::string(kSearchIndexTable) + " match '";
    const size_t at = sql.find(key);
    if (at == std::string::npos)
        return {};
    const size_t open = at + key.size() - 1;
    for (size_t p = open + 1; p < sql.size(); ++p) {
        if (sql[p] != '\'')
            continue;
        if (p + 1 < sql.size() && sql[p + 1] == '\'') {
            ++p;
            continue;
        }
        return sql.substr(open, p - open + 1);
    }
    return {};
}

}  // namespace

std::string ChooseStatement(Reference& ref, const std::string& plain, const std::string& indexed,
                            PlainScan scan) {
    if (plain == indexed)
        return plain;
    const std::string literal = MatchLiteral(indexed);
    if (literal.empty())
        return indexed;
    // Only the speed depends on the choice: a reference that cannot answer it gets the
    // statement as it is, and its own error where the list runs it.
    try {
        // The highest id stands for the row count: a look-up, where count(*) would read an
        // index.
        Statement top = ref.Db().Prepare("select max(id) from b");
        const std::int64_t rows = top.Step() ? top.ColumnInt(0) : 0;
        if (rows < kSmallReference)
            return indexed;
        const std::int64_t enough = rows / ScanShare(scan);
        Statement st =
            ref.Db().Prepare("select count(*) from (select rowid from " +
                             std::string(kSearchIndexTable) + " where " + kSearchIndexTable +
                             " match " + literal + " limit " + std::to_string(enough) + ")");
        return st.Step() && st.ColumnInt(0) >= enough ? plain : indexed;
    } catch (const Error&) {
        return indexed;
    }
}

std::string NameFilterStatement(Reference& ref, std::string_view text) {
    const std::string& col = ref.NameColumn();
    return ChooseStatement(ref, NameFilterSql(text, col),
                           NameFilterSql(text, col, ref.SearchIndexed()), PlainScan::Names);
}

std::optional<std::string> UniversalSearchStatement(Reference& ref, std::string_view text) {
    const std::string& col = ref.NameColumn();
    std::optional<std::string> indexed = UniversalSearchSql(text, col, ref.SearchIndexed());
    if (!indexed)
        return indexed;
    return ChooseStatement(ref, *UniversalSearchSql(text, col), *indexed, PlainScan::Texts);
}

std::string SynonymStatement(Reference& ref, const std::string& condition,
                             const std::string& candidates) {
    const std::string& col = ref.NameColumn();
    return ChooseStatement(ref, SynonymSql(condition, col), SynonymSql(condition, col, candidates),
                           PlainScan::Names);
}

std::optional<std::string> ExtendedSearchStatement(Reference& ref,
                                                   const ExtendedCriteria& criteria) {
    const std::string& col = ref.NameColumn();
    std::optional<std::string> indexed = ExtendedSearchSql(criteria, col, ref.SearchIndexed());
    if (!indexed)
        return indexed;
    return ChooseStatement(ref, *ExtendedSearchSql(criteria, col), *indexed, PlainScan::Texts);
}

}  // namespace orv
