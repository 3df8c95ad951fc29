#include "settings/bookmarks.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

namespace orv {

namespace {

bool ParseInt64(std::string_view s, std::int64_t& out) {
    if (s.empty())
        return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

std::vector<std::string_view> Items(std::string_view text, char separator) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        out.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos)
            break;
        start = at + 1;
    }
    return out;
}

// The ids among `ids` that still have a row in b.
std::set<std::int64_t> Existing(Database& db, const std::vector<std::int64_t>& ids) {
    std::set<std::int64_t> out;
    Statement st = db.Prepare("select 1 from b where id = ?1");
    for (std::int64_t id : ids) {
        st.Reset();
        st.Bind(1, id);
        if (st.Step())
            out.insert(id);
    }
    return out;
}

}  // namespace

bool History::Add(std::int64_t id, std::int64_t when) {
    if (cursor_ < entries_.size() && entries_[cursor_].id == id && cursor_ > 0)
        return false;  // the page a back/forward step opened
    cursor_ = 0;
    if (!entries_.empty() && entries_.front().id == id) {
        if (entries_.front().when == when)
            return false;
        entries_.front().when = when;
        return true;
    }
    entries_.insert(entries_.begin(), HistoryEntry{id, when});
    if (entries_.size() > kLimit)
        entries_.resize(kLimit);
    return true;
}

std::optional<std::int64_t> History::Back() {
    if (cursor_ + 1 >= entries_.size())
        return std::nullopt;
    return entries_[++cursor_].id;
}

std::optional<std::int64_t> History::Forward() {
    if (cursor_ == 0 || entries_.empty())
        return std::nullopt;
    return entries_[--cursor_].id;
}

void History::StepTo(size_t index) {
    if (index < entries_.size())
        cursor_ = index;
}

bool History::DropMissing(Database& db) {
    std::vector<std::int64_t> ids;
    for (const HistoryEntry& e : entries_)
        ids.push_back(e.id);
    const std::set<std::int64_t> alive = Existing(db, ids);
    std::vector<HistoryEntry> kept;
    size_t cursor = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (!alive.count(entries_[i].id))
            continue;
        if (i <= cursor_)
            cursor = kept.size();
        // Dropping a row may bring two visits of the same preparation together.
        if (!kept.empty() && kept.back().id == entries_[i].id)
            continue;
        kept.push_back(entries_[i]);
    }
    const bool changed = kept.size() != entries_.size();
    entries_ = std::move(kept);
    cursor_ = entries_.empty() ? 0 : std::min(cursor, entries_.size() - 1);
    return changed;
}

std::string History::Encode() const {
    std::string out;
    for (const HistoryEntry& e : entries_) {
        if (!out.empty())
            out += ',';
        out += std::to_string(e.id) + ':' + std::to_string(e.when);
    }
    return out;
}

std::optional<History> History::Decode(std::string_view text) {
    History h;
    if (text.empty())
        return h;
    for (std::string_view item : Items(text, ',')) {
        const size_t colon = item.find(':');
        HistoryEntry e;
        if (colon == std::string_view::npos || !ParseInt64(item.substr(0, colon), e.id) ||
            !ParseInt64(item.substr(colon + 1), e.when) || e.id <= 0 || h.entries_.size() >= kLimit)
            return std::nullopt;
        if (!h.entries_.empty() && h.entries_.back().id == e.id)
            continue;
        h.entries_.push_back(e);
    }
    return h;
}

bool Favourites::Toggle(std::int64_t id) {
    auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it != ids_.end()) {
        ids_.erase(it);
        return false;
    }
    if (ids_.size() >= kLimit)
        ids_.erase(ids_.begin());
    ids_.push_back(id);
    return true;
}

bool Favourites::Contains(std::int64_t id) const {
    return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

void Favourites::RemoveAt(size_t index) {
    if (index < ids_.size())
        ids_.erase(ids_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool Favourites::Move(size_t index, int delta) {
    if (index >= ids_.size())
        return false;
    const std::ptrdiff_t to = static_cast<std::ptrdiff_t>(index) + delta;
    if (to < 0 || to >= static_cast<std::ptrdiff_t>(ids_.size()))
        return false;
    std::swap(ids_[index], ids_[static_cast<size_t>(to)]);
    return true;
}

bool Favourites::DropMissing(Database& db) {
    const std::set<std::int64_t> alive = Existing(db, ids_);
    const size_t before = ids_.size();
    std::erase_if(ids_, [&](std::int64_t id) { return !alive.count(id); });
    return ids_.size() != before;
}

std::string Favourites::Encode() const {
    std::string out;
    for (std::int64_t id : ids_) {
        if (!out.empty())
            out += ',';
        out += std::to_string(id);
    }
    return out;
}

std::optional<Favourites> Favourites::Decode(std::string_view text) {
    Favourites f;
    if (text.empty())
        return f;
    for (std::string_view item : Items(text, ',')) {
        std::int64_t id = 0;
        if (!ParseInt64(item, id) || id <= 0 || f.ids_.size() >= kLimit)
            return std::nullopt;
        if (!f.Contains(id))
            f.ids_.push_back(id);
    }
    return f;
}

History LoadHistory(SettingsStore& store) {
    return History::Decode(store.GetKey(kHistoryKey, "")).value_or(History{});
}

void SaveHistory(SettingsStore& store, const History& history) {
    store.SetKey(kHistoryKey, history.Encode());
}

Favourites LoadFavourites(SettingsStore& store) {
    return Favourites::Decode(store.GetKey(kFavouritesKey, "")).value_or(Favourites{});
}

void SaveFavourites(SettingsStore& store, const Favourites& favourites) {
    store.SetKey(kFavouritesKey, favourites.Encode());
}

std::vector<std::string> PreparationNames(Database& db, const std::vector<std::int64_t>& ids,
                                          const std::string& nameColumn) {
    std::map<std::int64_t, std::string> names;
    Statement st = db.Prepare("select " + nameColumn + " from b where id = ?1");
    for (std::int64_t id : ids) {
        if (names.count(id))
            continue;
        st.Reset();
        st.Bind(1, id);
        names[id] = st.Step() ? st.ColumnText(0) : std::string();
    }
    std::vector<std::string> out;
    out.reserve(ids.size());
    for (std::int64_t id : ids)
        out.push_back(names[id]);
    return out;
}

}  // namespace orv
