#pragma once
// The word index of the searches: FTS5 trigrams over the plain columns of b (the name, the
// synonyms and the two index word columns), read from b itself and kept current by triggers,
// so every write of a row updates it in the same transaction. The searches use it only to
// narrow the rows their own `like` then checks.
#include <string>

#include "db/database.h"

namespace orv {

inline constexpr const char* kSearchIndexTable = "b_words";
// A word of fewer characters has no trigram: the index cannot narrow it.
inline constexpr size_t kSearchIndexGram = 3;
// Without positions a query cannot ask for a phrase: it asks for the trigrams of a word one by
// one, every row holding the word among the rows it finds.
inline constexpr const char* kSearchIndexDetail = "detail=column";

// Reads the schema only: safe on a connection that refuses writes.
bool HasSearchIndex(Database& db);

// Creates and fills the index when the file has none or one of an older form (the schema
// upgrade); nothing else.
void EnsureSearchIndex(Database& db, const std::string& nameColumn);

// Fills the index anew from b, creating it when missing.
void RebuildSearchIndex(Database& db, const std::string& nameColumn);

}  // namespace orv
