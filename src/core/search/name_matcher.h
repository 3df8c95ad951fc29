#pragma once
// Names that were meant: the typed text read in the other keyboard layout, read as a Latin
// spelling, or with a few typos, matched against the start of every name and synonym.
//
// No database here: the caller adds the preparations in the list's order (name_index.h loads
// them from the reference). Names and synonyms are compared folded as the searches fold them
// (case; ё = е). Costs, in edits: 1 for a wrong, missing or extra letter; 0.7 for a neighbouring
// key or a swapped pair; 0.5 for a doubled or undoubled letter, е/э, и/й, ь/ъ, а/о and a missing or
// extra space or hyphen; 0.3 for a space typed for a hyphen. A text of up to five letters may be 1
// edit away from the start of a name, a longer one 2; a text of fewer than three letters only by
// layout or spelling.
//
//   NameMatcher m;
//   m.Add(20, "Но-шпа", "Дротаверин, Спазмол");
//   m.Add(7, "Нурофен", "");
//   m.Finish();
//   m.Suggest("yj-igf")   -> {Но-шпа, layout, 0, reading "но-шпа"}
//   m.Suggest("nurofen")  -> {Нурофен, translit, 0, reading "нурофен"}
//   m.Suggest("нурафен")  -> {Нурофен, typo, 0.5}
//   m.Suggest("спазмал")  -> {Но-шпа, typo, 0.5, by synonym}
//   m.Suggest("нуро")     -> {} (an exact start of a name gets no suggestion)
//
// Work is bounded whatever the text: it is cut to 64 letters, the walk over the names stops
// after a fixed number of steps and only so many candidates are weighed.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

enum class MatchReason { Layout, Translit, Typo };
const char* MatchReasonName(MatchReason reason);  // "layout", "translit", "typo"

struct NameCandidate {
    int preparation = 0;  // position in the order of Add
    MatchReason reason = MatchReason::Typo;
    int cost = 0;            // tenths of an edit
    bool bySynonym = false;  // a synonym matched, not the name
    // Layout and spelling: the text as it was read (lower case; for a spelling, the start of
    // the name it matched). Empty for typos.
    std::string reading;

    double Distance() const { return cost / 10.0; }
};

class NameMatcher {
  public:
    static constexpr size_t kMaxTextLetters = 64;

    // In the list's order; ties between candidates go to the earlier one.
    void Add(std::int64_t id, std::string_view name, std::string_view synonyms);
    void Finish();  // after the last Add; the matcher is then read-only
    void Clear();

    int Size() const { return static_cast<int>(ids_.size()); }
    std::int64_t Id(int preparation) const { return ids_[static_cast<size_t>(preparation)]; }
    std::string Name(int preparation) const;  // UTF-8

    // Whether the folded text is the start of a name or a synonym.
    bool StartsSomeName(std::string_view text) const;
    // Best first, at most `limit`. Empty when the text starts some name or synonym.
    std::vector<NameCandidate> Suggest(std::string_view text, size_t limit = 5) const;

    // The same answer without sharing the walk over common starts: every name and synonym
    // compared on its own. The benchmark's baseline.
    std::vector<NameCandidate> SuggestKeyByKey(std::string_view text, size_t limit = 5) const;

    size_t MemoryBytes() const;

    // Edits allowed for a text of this many letters, in tenths.
    static int CostLimit(size_t letters);

  private:
    struct Graph;
    struct Hit;
    void Walk(const Graph& graph, MatchReason reason, int limit, std::vector<Hit>& hits,
              bool keyByKey) const;
    std::vector<NameCandidate> Suggest(std::string_view text, size_t limit, bool keyByKey) const;
    std::string_view Key(size_t k) const {
        return std::string_view(keyPool_).substr(keyStart_[k], keyLen_[k]);
    }

    // Folded keys (names and synonyms) in byte order, each naming its preparation.
    std::string keyPool_;
    std::vector<std::uint32_t> keyStart_;
    std::vector<std::uint8_t> keyLen_;
    std::vector<std::uint32_t> keyOwner_;  // preparation << 1 | synonym
    // Preparations in the order of Add.
    std::vector<std::int64_t> ids_;
    std::string namePool_;  // windows-1251
    std::vector<std::uint32_t> nameStart_;
    std::vector<std::uint64_t> nameHash_;  // of the folded name: one suggestion per name
    std::string scratch_;                  // the key being added
    bool hasLatinKeys_ = false;
    bool hasCyrillicKeys_ = false;
};

// The folded form every comparison uses: windows-1251, lower case, ё = е, spaces trimmed and
// collapsed, cut to `maxBytes`.
std::string FoldName(std::string_view utf8, size_t maxBytes = NameMatcher::kMaxTextLetters);

}  // namespace orv
