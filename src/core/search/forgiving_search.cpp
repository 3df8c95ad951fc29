#include "search/forgiving_search.h"

#include <algorithm>

#include "search/keyboard_layout.h"
#include "search/name_matcher.h"
#include "search/open_preparation.h"
#include "search/quick_filter.h"
#include "search/statements.h"
#include "search/transliteration.h"
#include "util/cp1251.h"
#include "util/message_text.h"
#include "util/text.h"

namespace orv {
namespace {

// Longer than any name: a pasted page is no typing mistake, and re-reading it is wasted work.
constexpr size_t kMaxReadingBytes = 4 * NameMatcher::kMaxTextLetters;

bool HasCyrillicLetter(std::string_view utf8) {
    // Cyrillic letters are two bytes in UTF-8, led by 0xD0 or 0xD1.
    return std::any_of(utf8.begin(), utf8.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b == 0xD0 || b == 0xD1;
    });
}

bool HasRow(const DataSet& set) {
    return set.Active() && !set.IsEmpty();
}

std::optional<std::string> FilterSql(Reference& ref, std::string_view text, bool universal) {
    if (universal)
        return UniversalSearchSql(text, ref.NameColumn(), ref.SearchIndexed());
    return NameFilterSql(text, ref.NameColumn(), ref.SearchIndexed());
}

}  // namespace

std::vector<std::string> TextReadings(const NameMatcher& matcher, std::string_view text) {
    std::vector<std::string> out;
    const std::string typed = Trim(text);
    if (typed.empty() || typed.size() > kMaxReadingBytes)
        return out;
    const std::string own = LowerText(typed);
    const auto add = [&](const std::string& reading) {
        std::string r = LowerText(Trim(reading));
        if (!r.empty() && r != own && std::find(out.begin(), out.end(), r) == out.end())
            out.push_back(std::move(r));
    };
    const bool latin = HasLatinLetter(typed);
    if (latin)
        add(LatinKeysToRussian(typed));
    if (HasCyrillicLetter(typed))
        add(RussianKeysToLatin(typed));
    if (latin) {
        // Only plain readings: a spelling that needed a correction is a suggestion, not a reading.
        for (const NameCandidate& c : matcher.Suggest(typed, kMaxNameSuggestions)) {
            if (c.reason == MatchReason::Translit && c.cost == 0)
                add(c.reading);
        }
        add(TransliterateLatin(typed));
    }
    return out;
}

std::string ShownForStatus(std::string_view reading) {
    return "Показано для «" + CutForMessage(reading, 60) + "»";
}

CommandResult LocateForgiving(DataSet& active, const std::string& nameColumn,
                              const NameSource& names, std::string_view text) {
    CommandResult r = LocateFilterText(active, nameColumn, text);
    if (r.redraw || !HasRow(active))
        return r;
    const NameMatcher* matcher = names ? names() : nullptr;
    if (matcher == nullptr)
        return r;
    for (const std::string& reading : TextReadings(*matcher, text)) {
        if (active.Locate(nameColumn, reading, {.caseInsensitive = true, .partialKey = true})) {
            r.redraw = true;
            r.status = ShownForStatus(reading);
            return r;
        }
    }
    return r;
}

CommandResult FilterEnterForgiving(Reference& ref, const NameSource& names, std::string_view text,
                                   bool universal, DataSet& active, const StatusFn& status) {
    CommandResult r = FilterEnter(ref, text, universal, active, status);
    if (Trim(text).empty() || !r.listChanged || r.message || HasRow(ref.qMain))
        return r;
    const NameMatcher* matcher = names ? names() : nullptr;
    if (matcher == nullptr)
        return r;
    for (const std::string& reading : TextReadings(*matcher, text)) {
        const std::optional<std::string> sql = FilterSql(ref, reading, universal);
        if (!sql || !StatementHasRows(ref.Db(), *sql))
            continue;
        CommandResult found = FilterEnter(ref, reading, universal, active, status);
        if (universal)
            SetCountedStatus(found, ref.qMain, ShownForStatus(reading) + ". Найдено ");
        else
            found.status = ShownForStatus(reading);
        found.filterText = reading;
        return found;
    }
    r.suggestions = SuggestNames(*matcher, text);
    return r;
}

std::vector<NameSuggestion> SuggestNames(const NameMatcher& matcher, std::string_view text,
                                         size_t limit) {
    std::vector<NameSuggestion> out;
    if (Trim(text).size() > kMaxReadingBytes)
        return out;
    for (const NameCandidate& c : matcher.Suggest(text, limit))
        out.push_back({matcher.Id(c.preparation), matcher.Name(c.preparation)});
    return out;
}

CommandResult TakeSuggestion(Reference& ref, const NameSuggestion& suggestion) {
    CommandResult r = OpenPreparation(ref, suggestion.id);
    if (!r.redraw)
        return r;  // gone meanwhile: "Препарат не найден."
    r.highlightSearchWords = false;
    r.filterText = suggestion.name;
    return r;
}

bool StatementHasRows(Database& db, const std::string& sql) {
    Statement st = db.Prepare("select 1 from (" + sql + ") limit 1");
    return st.Step();
}

}  // namespace orv
