#include "search/name_matcher.h"

#include <algorithm>
#include <array>
#include <functional>
#include <numeric>
#include <unordered_map>

#include "search/keyboard_layout.h"
#include "search/transliteration.h"
#include "util/cp1251.h"

namespace orv {
namespace {

constexpr int kEdit = 10;      // one edit, in tenths
constexpr int kCheap = 5;      // doubled letter, е/э, и/й, ь/ъ, а/о, a space or hyphen
constexpr int kNeighbour = 7;  // the key beside the right one
constexpr int kSeparator = 3;  // a space typed for a hyphen, or back
constexpr int kSwap = 7;       // two letters typed the other way round
constexpr int kPartial = 3;    // ranking only: the text matched the start of a longer name
constexpr int kInfinite = 1 << 20;
constexpr size_t kMaxSteps = 400000;  // trie nodes visited for one reading
constexpr size_t kMaxHits = 20000;
constexpr size_t kScanPerHit = 256;  // keys weighed under one matching start
constexpr size_t kMaxScan = 20000;

bool IsSeparator(unsigned char c) {
    return c == ' ' || c == '-';
}

bool IsLatin(unsigned char c) {
    return c >= 'a' && c <= 'z';
}

bool IsCyrillic(unsigned char c) {
    return c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

// Substitution costs between folded characters, computed once.
class SubstitutionCosts {
  public:
    SubstitutionCosts() {
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                int c = kEdit;
                if (a == b)
                    c = 0;
                else if (IsSeparator(static_cast<unsigned char>(a)) &&
                         IsSeparator(static_cast<unsigned char>(b)))
                    c = kSeparator;
                else if (AreNeighbourKeys(static_cast<unsigned char>(a),
                                          static_cast<unsigned char>(b)))
                    c = kNeighbour;
                table_[static_cast<size_t>(a * 256 + b)] = static_cast<std::uint8_t>(c);
            }
        }
        const std::string pairs = Utf8ToCp1251("еэийьъао");
        for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
            const auto a = static_cast<unsigned char>(pairs[i]);
            const auto b = static_cast<unsigned char>(pairs[i + 1]);
            table_[static_cast<size_t>(a * 256 + b)] = kCheap;
            table_[static_cast<size_t>(b * 256 + a)] = kCheap;
        }
    }
    int operator()(unsigned char a, unsigned char b) const {
        return table_[static_cast<size_t>(a * 256 + b)];
    }

  private:
    std::array<std::uint8_t, 256 * 256> table_{};
};

const SubstitutionCosts& Substitution() {
    static const SubstitutionCosts costs;
    return costs;
}

size_t CountLetters(std::string_view folded) {
    return static_cast<size_t>(std::count_if(folded.begin(), folded.end(), [](char c) {
        return IsCp1251Letter(static_cast<unsigned char>(c));
    }));
}

int ReasonRank(MatchReason r) {
    return static_cast<int>(r);
}

}  // namespace

const char* MatchReasonName(MatchReason reason) {
    switch (reason) {
        case MatchReason::Layout:
            return "layout";
        case MatchReason::Translit:
            return "translit";
        case MatchReason::Typo:
            break;
    }
    return "typo";
}

namespace {

void FoldBytes(std::string_view bytes, size_t maxBytes, std::string& out) {
    out.clear();
    for (unsigned char c : bytes) {
        if (out.size() >= maxBytes)
            break;
        if (c <= ' ') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
            continue;
        }
        c = Cp1251Lower(c);
        if (c == 0xB8)  // ё
            c = 0xE5;   // е
        out += static_cast<char>(c);
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
}

}  // namespace

std::string FoldName(std::string_view utf8, size_t maxBytes) {
    std::string out;
    FoldBytes(Utf8ToCp1251(utf8), maxBytes, out);
    return out;
}

// What was typed, as a graph of characters: states in topological order, edges labelled with
// one folded character (0 = none). A plain text is a chain; a Latin spelling branches.
struct NameMatcher::Graph {
    struct Edge {
        std::uint16_t from, to;
        unsigned char ch;
        std::uint8_t cost;  // taking this edge
        std::uint8_t skip;  // the typed character is extra
    };
    struct Pair {  // two edges in a row, for a swapped pair of letters
        std::uint16_t from, to;
        unsigned char first, second;
        std::uint8_t cost;
    };
    int states = 1;
    int final = 0;
    std::vector<Edge> edges;                   // by `from`
    std::array<std::vector<Pair>, 256> pairs;  // by the first character
    std::string reading;                       // UTF-8, for layout readings

    static int SkipCost(std::string_view t, size_t i) {
        const auto c = static_cast<unsigned char>(t[i]);
        if ((i > 0 && t[i - 1] == t[i]) || IsSeparator(c))
            return kCheap;
        return kEdit;
    }

    static Graph Chain(std::string_view folded) {
        Graph g;
        g.states = static_cast<int>(folded.size()) + 1;
        g.final = static_cast<int>(folded.size());
        for (size_t i = 0; i < folded.size(); ++i) {
            g.edges.push_back({static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i + 1),
                               static_cast<unsigned char>(folded[i]), 0,
                               static_cast<std::uint8_t>(SkipCost(folded, i))});
        }
        g.FinishPairs();
        return g;
    }

    static Graph Spellings(std::string_view folded) {
        Graph g;
        const std::vector<LatinSpelling> spellings = LatinSpellings(folded);
        std::vector<int> position(folded.size() + 1, -1);
        int next = 0;
        size_t s = 0;
        for (size_t i = 0; i <= folded.size(); ++i) {
            position[i] = next++;
            // Inner states of the readings that start here come before every later position.
            for (; s < spellings.size() && static_cast<size_t>(spellings[s].start) == i; ++s) {
                const LatinSpelling& sp = spellings[s];
                const size_t n = sp.cyrillic.size();
                if (n == 0) {
                    g.pending.push_back(
                        {position[i], static_cast<int>(i) + sp.length, 0, 0, sp.penalty, kEdit});
                    continue;
                }
                int from = position[i];
                for (size_t k = 0; k < n; ++k) {
                    const bool last = k + 1 == n;
                    const int to = last ? -1 : next++;
                    g.pending.push_back({from, last ? static_cast<int>(i) + sp.length : -1, to,
                                         static_cast<unsigned char>(sp.cyrillic[k]),
                                         k == 0 ? sp.penalty : 0, kEdit});
                    from = to;
                }
            }
        }
        g.states = next;
        g.final = position[folded.size()];
        for (const PendingEdge& p : g.pending) {
            const int to =
                p.toPosition >= 0 ? position[static_cast<size_t>(p.toPosition)] : p.toState;
            g.edges.push_back({static_cast<std::uint16_t>(p.from), static_cast<std::uint16_t>(to),
                               p.ch, static_cast<std::uint8_t>(p.cost),
                               static_cast<std::uint8_t>(p.skip)});
        }
        g.pending.clear();
        std::stable_sort(g.edges.begin(), g.edges.end(),
                         [](const Edge& a, const Edge& b) { return a.from < b.from; });
        g.FinishPairs();
        return g;
    }

  private:
    struct PendingEdge {
        int from;
        int toPosition;  // a text position, or -1 when the edge ends in an inner state
        int toState;
        unsigned char ch;
        int cost;
        int skip;
    };
    std::vector<PendingEdge> pending;

    void FinishPairs() {
        for (const Edge& a : edges) {
            if (a.ch == 0)
                continue;
            for (const Edge& b : edges) {
                if (b.from != a.to || b.ch == 0 || b.ch == a.ch)
                    continue;
                pairs[a.ch].push_back(
                    {a.from, b.to, a.ch, b.ch, static_cast<std::uint8_t>(a.cost + b.cost)});
            }
        }
    }
};

struct NameMatcher::Hit {
    std::uint32_t lo, hi;  // keys starting with the matched characters
    std::uint16_t depth;   // how many characters of them matched
    int cost;
    MatchReason reason;
    const Graph* graph;
};

namespace {

// Walks the keys, sorted as they are, as a trie: a node is the range of keys sharing a
// start. The rows hold, for every state of the typed graph, the cheapest way to turn the
// typed characters up to that state into the node's start.
class Walker {
  public:
    Walker(const std::vector<std::uint32_t>& start, const std::vector<std::uint8_t>& len,
           const std::string& pool, int states, size_t maxDepth)
        : start_(start),
          len_(len),
          pool_(pool),
          states_(states),
          rows_((maxDepth + 1) * static_cast<size_t>(states), kInfinite),
          maxDepth_(maxDepth) {}

    unsigned char Char(size_t k, size_t d) const {
        return static_cast<unsigned char>(pool_[start_[k] + d]);
    }
    size_t Len(size_t k) const { return len_[k]; }
    int* Row(size_t d) { return rows_.data() + d * static_cast<size_t>(states_); }
    size_t MaxDepth() const { return maxDepth_; }

  private:
    const std::vector<std::uint32_t>& start_;
    const std::vector<std::uint8_t>& len_;
    const std::string& pool_;
    int states_;
    std::vector<int> rows_;
    size_t maxDepth_;
};

}  // namespace

void NameMatcher::Walk(const Graph& g, MatchReason reason, int limit, std::vector<Hit>& hits,
                       bool keyByKey) const {
    if (keyStart_.empty())
        return;
    Walker w(keyStart_, keyLen_, keyPool_, g.states, kMaxTextLetters + 4);
    const SubstitutionCosts& sub = Substitution();
    const auto relax = [&](int* row) {
        for (const Graph::Edge& e : g.edges) {
            const int via = row[e.from] + e.cost + (e.ch == 0 ? 0 : e.skip);
            if (via < row[e.to])
                row[e.to] = via;
        }
    };
    int* root = w.Row(0);
    std::fill(root, root + g.states, kInfinite);
    root[0] = 0;
    relax(root);

    size_t steps = 0;
    // Recursion over the depth; a node is [lo, hi) at depth d with its row computed.
    struct Frame {
        size_t lo, hi, d;
        int bestAbove;
    };
    const auto visit = [&](auto&& self, const Frame& f) -> void {
        size_t j = f.lo;
        while (j < f.hi && w.Len(j) == f.d)
            ++j;
        const int* prev = w.Row(f.d);
        const int* prev2 = f.d >= 1 ? w.Row(f.d - 1) : nullptr;
        const unsigned char before = f.d >= 1 ? w.Char(f.lo, f.d - 1) : 0;
        while (j < f.hi) {
            if (++steps > kMaxSteps || hits.size() >= kMaxHits)
                return;
            const unsigned char c = w.Char(j, f.d);
            size_t lo = j, hi = f.hi;
            while (lo < hi) {  // the end of the keys with c at this depth
                const size_t mid = lo + (hi - lo) / 2;
                if (w.Char(mid, f.d) <= c)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            const size_t end = lo;
            int* row = w.Row(f.d + 1);
            // A letter of the name missing from the text; a doubled one costs less.
            const int insert = (c == before || IsSeparator(c)) ? kCheap : kEdit;
            for (int s = 0; s < g.states; ++s)
                row[s] = prev[s] + insert;
            for (const Graph::Edge& e : g.edges) {
                if (e.ch == 0)
                    continue;
                const int via = prev[e.from] + e.cost + sub(e.ch, c);
                if (via < row[e.to])
                    row[e.to] = via;
            }
            if (prev2 != nullptr && before != c) {
                for (const Graph::Pair& p : g.pairs[c]) {  // typed "cb" for "bc"
                    if (p.second != before)
                        continue;
                    const int via = prev2[p.from] + p.cost + kSwap;
                    if (via < row[p.to])
                        row[p.to] = via;
                }
            }
            relax(row);
            const int least = *std::min_element(row, row + g.states);
            const int done = row[g.final];
            int best = f.bestAbove;
            // An equal cost still counts where a whole name ends: it ranks above a start.
            const bool ends = w.Len(j) == f.d + 1;
            if (done <= limit && (done < f.bestAbove || (done == f.bestAbove && ends))) {
                hits.push_back({static_cast<std::uint32_t>(j), static_cast<std::uint32_t>(end),
                                static_cast<std::uint16_t>(f.d + 1), done, reason, &g});
                best = done;
            }
            // Deeper starts only matter when they can beat what this one already gave.
            if (least <= limit && least <= best && f.d + 1 < w.MaxDepth())
                self(self, Frame{j, end, f.d + 1, best});
            j = end;
        }
    };
    if (!keyByKey) {
        visit(visit, Frame{0, keyStart_.size(), 0, kInfinite});
        return;
    }
    for (size_t k = 0; k < keyStart_.size(); ++k) {
        steps = 0;
        visit(visit, Frame{k, k + 1, 0, kInfinite});
    }
}

void NameMatcher::Clear() {
    *this = NameMatcher();
}

void NameMatcher::Add(std::int64_t id, std::string_view name, std::string_view synonyms) {
    const auto prep = static_cast<std::uint32_t>(ids_.size());
    ids_.push_back(id);
    nameStart_.push_back(static_cast<std::uint32_t>(namePool_.size()));
    const std::string nameBytes = Utf8ToCp1251(name);
    namePool_ += nameBytes;
    const size_t firstKey = keyStart_.size();
    std::string& key = scratch_;
    const auto add = [&](std::string_view bytes, bool synonym) {
        FoldBytes(bytes, kMaxTextLetters, key);
        if (key.empty())
            return;
        for (size_t k = firstKey; k < keyStart_.size(); ++k) {
            if (Key(k) == key)
                return;
        }
        for (unsigned char c : key) {
            hasLatinKeys_ |= IsLatin(c);
            hasCyrillicKeys_ |= IsCyrillic(c);
        }
        keyStart_.push_back(static_cast<std::uint32_t>(keyPool_.size()));
        keyLen_.push_back(static_cast<std::uint8_t>(key.size()));
        keyOwner_.push_back(prep << 1 | (synonym ? 1u : 0u));
        keyPool_ += key;
    };
    add(nameBytes, false);
    nameHash_.push_back(keyStart_.size() > firstKey && (keyOwner_[firstKey] & 1u) == 0
                            ? std::hash<std::string_view>{}(Key(firstKey))
                            : 0);
    if (synonyms.empty())
        return;
    const std::string synonymBytes = Utf8ToCp1251(synonyms);
    const std::string_view all(synonymBytes);
    for (size_t from = 0; from <= all.size();) {
        size_t comma = all.find(',', from);
        if (comma == std::string_view::npos)
            comma = all.size();
        add(all.substr(from, comma - from), true);
        from = comma + 1;
    }
}

void NameMatcher::Finish() {
    std::vector<std::uint32_t> order(keyStart_.size());
    std::iota(order.begin(), order.end(), 0u);
    const auto key = [&](std::uint32_t k) {
        return std::string_view(keyPool_).substr(keyStart_[k], keyLen_[k]);
    };
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int c = key(a).compare(key(b));
        return c != 0 ? c < 0 : keyOwner_[a] < keyOwner_[b];
    });
    std::string pool;
    pool.reserve(keyPool_.size());
    std::vector<std::uint32_t> start(order.size());
    std::vector<std::uint8_t> len(order.size());
    std::vector<std::uint32_t> owner(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        start[i] = static_cast<std::uint32_t>(pool.size());
        len[i] = keyLen_[order[i]];
        owner[i] = keyOwner_[order[i]];
        pool += key(order[i]);
    }
    keyPool_ = std::move(pool);
    keyStart_ = std::move(start);
    keyLen_ = std::move(len);
    keyOwner_ = std::move(owner);
    keyPool_.shrink_to_fit();
    namePool_.shrink_to_fit();
    ids_.shrink_to_fit();
    nameStart_.shrink_to_fit();
    nameHash_.shrink_to_fit();
    scratch_ = std::string();
}

std::string NameMatcher::Name(int preparation) const {
    const auto p = static_cast<size_t>(preparation);
    const size_t from = nameStart_[p];
    const size_t to = p + 1 < nameStart_.size() ? nameStart_[p + 1] : namePool_.size();
    return Cp1251ToUtf8(std::string_view(namePool_).substr(from, to - from));
}

size_t NameMatcher::MemoryBytes() const {
    return keyPool_.capacity() + keyStart_.capacity() * sizeof(std::uint32_t) + keyLen_.capacity() +
           keyOwner_.capacity() * sizeof(std::uint32_t) + ids_.capacity() * sizeof(std::int64_t) +
           namePool_.capacity() + nameStart_.capacity() * sizeof(std::uint32_t) +
           nameHash_.capacity() * sizeof(std::uint64_t);
}

int NameMatcher::CostLimit(size_t letters) {
    if (letters < 3)
        return 0;
    return letters <= 5 ? kEdit : 2 * kEdit;
}

bool NameMatcher::StartsSomeName(std::string_view text) const {
    const std::string folded = FoldName(text);
    if (folded.empty())
        return true;
    size_t lo = 0, hi = keyStart_.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (Key(mid) < std::string_view(folded))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < keyStart_.size() && Key(lo).substr(0, folded.size()) == folded;
}

std::vector<NameCandidate> NameMatcher::Suggest(std::string_view text, size_t limit) const {
    return Suggest(text, limit, false);
}

std::vector<NameCandidate> NameMatcher::SuggestKeyByKey(std::string_view text, size_t limit) const {
    return Suggest(text, limit, true);
}

std::vector<NameCandidate> NameMatcher::Suggest(std::string_view text, size_t limit,
                                                bool keyByKey) const {
    std::vector<NameCandidate> out;
    const std::string folded = FoldName(text);
    if (folded.empty() || limit == 0 || keyStart_.empty() || StartsSomeName(text))
        return out;

    // Cut the typed text at the same length as the folded one before re-reading it.
    std::string typed = Cp1251ToUtf8(Utf8ToCp1251(text).substr(0, 4 * kMaxTextLetters));
    std::vector<Graph> graphs;
    std::vector<Hit> hits;
    graphs.reserve(4);
    bool latin = false, cyrillic = false;
    for (unsigned char c : folded) {
        latin |= IsLatin(c);
        cyrillic |= IsCyrillic(c);
    }
    const auto run = [&](Graph g, MatchReason reason, size_t letters) {
        graphs.push_back(std::move(g));
        Walk(graphs.back(), reason, CostLimit(letters), hits, keyByKey);
    };
    if (latin && hasCyrillicKeys_) {
        const std::string reading = FoldName(LatinKeysToRussian(typed));
        Graph g = Graph::Chain(reading);
        g.reading = Cp1251ToUtf8(reading);
        run(std::move(g), MatchReason::Layout, CountLetters(reading));
        run(Graph::Spellings(folded), MatchReason::Translit,
            CountLetters(FoldName(TransliterateLatin(typed))));
    }
    if (cyrillic && hasLatinKeys_) {
        const std::string reading = FoldName(RussianKeysToLatin(typed));
        Graph g = Graph::Chain(reading);
        g.reading = Cp1251ToUtf8(reading);
        run(std::move(g), MatchReason::Layout, CountLetters(reading));
    }
    run(Graph::Chain(folded), MatchReason::Typo, CountLetters(folded));

    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
        return a.cost != b.cost ? a.cost < b.cost : ReasonRank(a.reason) < ReasonRank(b.reason);
    });
    struct Best {
        int cost;
        int rankCost;  // a text that matched only the start of a name ranks a little lower
        bool synonym;
        int rank;
        const Hit* hit;
        auto Order() const { return std::tie(rankCost, synonym, rank); }
    };
    std::unordered_map<std::uint32_t, Best> best;
    // Preparations of the same name are one suggestion: the first of them in the list.
    const auto distinctBelow = [&](int cost) {
        std::vector<std::uint64_t> names;
        for (const auto& [prep, b] : best) {
            if (b.rankCost < cost)
                names.push_back(nameHash_[prep]);
        }
        std::sort(names.begin(), names.end());
        return static_cast<size_t>(std::unique(names.begin(), names.end()) - names.begin());
    };
    size_t scanned = 0;
    int level = -1;
    for (const Hit& h : hits) {
        // What ranks below this cost is settled; once it fills the answer, stop.
        if (h.cost != level) {
            if (best.size() >= limit && distinctBelow(h.cost) >= limit)
                break;
            level = h.cost;
        }
        const size_t to = std::min<size_t>(h.hi, h.lo + kScanPerHit);
        for (size_t k = h.lo; k < to; ++k) {
            const std::uint32_t prep = keyOwner_[k] >> 1;
            const bool synonym = (keyOwner_[k] & 1u) != 0;
            const bool partial = keyLen_[k] != h.depth;
            const Best b{h.cost, h.cost + (partial ? kPartial : 0), synonym, ReasonRank(h.reason),
                         &h};
            auto [it, inserted] = best.emplace(prep, b);
            if (!inserted && b.Order() < it->second.Order())
                it->second = b;
        }
        scanned += to - h.lo;
        if (scanned >= kMaxScan)
            break;
    }
    std::vector<std::pair<std::uint32_t, Best>> ranked(best.begin(), best.end());
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return std::tie(a.second.rankCost, a.second.synonym, a.first) <
               std::tie(b.second.rankCost, b.second.synonym, b.first);
    });
    std::vector<std::uint64_t> shown;
    for (const auto& [prep, b] : ranked) {
        if (out.size() >= limit)
            break;
        if (std::find(shown.begin(), shown.end(), nameHash_[prep]) != shown.end())
            continue;
        shown.push_back(nameHash_[prep]);
        NameCandidate c;
        c.preparation = static_cast<int>(prep);
        c.reason = b.hit->reason;
        c.cost = b.cost;
        c.bySynonym = b.synonym;
        if (c.reason == MatchReason::Layout)
            c.reading = b.hit->graph->reading;
        else if (c.reason == MatchReason::Translit)
            c.reading = Cp1251ToUtf8(Key(b.hit->lo).substr(0, b.hit->depth));
        out.push_back(std::move(c));
    }
    return out;
}

}  // namespace orv
