#pragma once
// The history of opened preparations and the favourites, kept in table `settings` under the
// keys "history" and "favorites". A stored value that does not read back whole is dropped
// and the list starts empty.
//
//   History h = LoadHistory(store);
//   h.Add(42, now);  SaveHistory(store, h);   // a page shown for a second, or printed
//   if (auto id = h.Back()) open(*id);          // Alt+Left
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "settings/settings_store.h"

namespace orv {

inline constexpr const char* kHistoryKey = "history";
inline constexpr const char* kFavouritesKey = "favorites";

struct HistoryEntry {
    std::int64_t id = 0;
    std::int64_t when = 0;  // seconds since 1970 (UTC)
    bool operator==(const HistoryEntry&) const = default;
};

class History {
  public:
    static constexpr size_t kLimit = 100;

    // A preparation was looked at: it goes first (a repeat of the first entry only refreshes
    // its time), the oldest beyond kLimit go, and back/forward start again from it. The page a
    // back or forward step shows is not a new visit. True when the entries changed.
    bool Add(std::int64_t id, std::int64_t when);

    // Alt+Left / Alt+Right: the older / newer entry from the one last stepped to; nullopt at
    // the end (nothing moves).
    std::optional<std::int64_t> Back();
    std::optional<std::int64_t> Forward();
    // The list's "open": back/forward then go on from that entry.
    void StepTo(size_t index);

    const std::vector<HistoryEntry>& Entries() const { return entries_; }
    size_t Cursor() const { return cursor_; }
    // Drops the entries whose preparation is gone (the cursor stays on its entry when it can).
    // True when something was dropped.
    bool DropMissing(Database& db);

    // "id:when" items separated by ",", most recent first.
    std::string Encode() const;
    // nullopt for a value that is not such a list (or holds more than kLimit items).
    static std::optional<History> Decode(std::string_view text);

  private:
    std::vector<HistoryEntry> entries_;  // most recent first
    size_t cursor_ = 0;
};

class Favourites {
  public:
    static constexpr size_t kLimit = 1000;

    // Ctrl+D: adds the preparation at the end, or removes it when it is there. True = added.
    bool Toggle(std::int64_t id);
    bool Contains(std::int64_t id) const;
    void RemoveAt(size_t index);
    // Moves an entry up (-1) or down (+1); false at the edge.
    bool Move(size_t index, int delta);
    bool DropMissing(Database& db);

    const std::vector<std::int64_t>& Ids() const { return ids_; }
    std::string Encode() const;  // ids separated by ",", in the user's order
    static std::optional<Favourites> Decode(std::string_view text);

  private:
    std::vector<std::int64_t> ids_;
};

History LoadHistory(SettingsStore& store);
void SaveHistory(SettingsStore& store, const History& history);
Favourites LoadFavourites(SettingsStore& store);
void SaveFavourites(SettingsStore& store, const Favourites& favourites);

// Names of the preparations, by id ("" for one that is gone), in one query.
std::vector<std::string> PreparationNames(Database& db, const std::vector<std::int64_t>& ids,
                                          const std::string& nameColumn);

}  // namespace orv
