#include "db/jet_like.h"

#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "util/cp1251.h"

namespace orv {

char32_t FoldCase(char32_t c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= 0x0430 && c <= 0x044F)
        return c - 32;
    if (c >= 0x0410 && c <= 0x042F)
        return c;
    return UpperChar(c);
}

namespace {
std::u32string Decode(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t pos = 0; pos < s.size();)
        out.push_back(DecodeUtf8(s, pos));
    return out;
}
}  // namespace

bool LikePattern::Element::Accepts(char32_t folded) const {
    switch (kind) {
        case Char:
            return folded == ch;
        case One:
            return true;
        case Class: {
            bool in = false;
            for (const auto& r : ranges) {
                if (folded >= r.lo && folded <= r.hi) {
                    in = true;
                    break;
                }
            }
            return in != negated;
        }
    }
    return false;
}

LikePattern::LikePattern(std::string_view pattern) {
    std::u32string p = Decode(pattern);
    Segment current;
    bool hasPercent = false;
    for (size_t i = 0; i < p.size();) {
        char32_t c = p[i];
        if (c == U'%') {
            if (i == 0)
                anchoredStart_ = false;
            hasPercent = true;
            if (!current.empty())
                segments_.push_back(std::move(current));
            current.clear();
            while (i < p.size() && p[i] == U'%')
                ++i;
            if (i == p.size())
                anchoredEnd_ = false;
            continue;
        }
        current.push_back(ParseElement(p, i));
    }
    if (!current.empty() || !hasPercent)
        segments_.push_back(std::move(current));
    for (auto& seg : segments_) {
        for (auto& e : seg) {
            if (e.kind != Element::Char)
                continue;
            AppendUtf8(e.forms[0], e.ch);
            AppendUtf8(e.forms[1], LowerChar(e.ch));
        }
        anchors_.push_back(ChooseAnchor(seg));
    }
}

namespace {
// How common a character is in Russian text, roughly in per mille; rare characters make
// good anchors.
int Commonness(char32_t folded) {
    static constexpr int kCyrillic[32] = {// А..Я
                                          80, 16, 45, 17,  30, 85, 9,  17, 74, 12, 35,
                                          44, 32, 67, 110, 28, 47, 55, 63, 26, 3,  10,
                                          5,  14, 7,  4,   1,  19, 17, 3,  6,  20};
    if (folded >= 0x0410 && folded <= 0x042F)
        return kCyrillic[folded - 0x0410];
    if (folded == U' ')
        return 150;
    if (folded >= U'A' && folded <= U'Z')
        return 20;
    return 5;
}
}  // namespace

LikePattern::Anchor LikePattern::ChooseAnchor(const Segment& seg) {
    Anchor best;
    int bestCommonness = 0;
    size_t offset = 0;
    for (const auto& e : seg) {
        // Offsets are fixed only over literal characters whose two forms have equal lengths.
        if (e.kind != Element::Char || e.forms[0].size() != e.forms[1].size())
            break;
        offset += e.forms[0].size();
        const int c = Commonness(e.ch);
        if (!best.usable || c < bestCommonness) {
            best.usable = true;
            best.bytes[0] = static_cast<unsigned char>(e.forms[0].back());
            best.bytes[1] = static_cast<unsigned char>(e.forms[1].back());
            best.offset = offset - 1;
            bestCommonness = c;
        }
    }
    return best;
}

LikePattern::Element LikePattern::ParseElement(const std::u32string& p, size_t& i) {
    Element e;
    char32_t c = p[i];
    if (c == U'_') {
        e.kind = Element::One;
        ++i;
        return e;
    }
    if (c != U'[') {
        e.ch = FoldCase(c);
        ++i;
        return e;
    }
    size_t j = i + 1;
    bool negated = false;
    // "[!]" is the literal "!" (the form the condition builders write it in), not an open
    // negated class.
    if (j + 1 < p.size() && p[j] == U'!' && p[j + 1] != U']') {
        negated = true;
        ++j;
    }
    std::vector<Range> ranges;
    bool first = true;
    while (j < p.size() && (first || p[j] != U']')) {
        char32_t lo = p[j];
        if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
            ranges.push_back({FoldCase(lo), FoldCase(p[j + 2])});
            j += 3;
        } else {
            ranges.push_back({FoldCase(lo), FoldCase(lo)});
            ++j;
        }
        first = false;
    }
    if (j >= p.size()) {
        // No closing bracket: the bracket is an ordinary character.
        e.ch = U'[';
        ++i;
        return e;
    }
    i = j + 1;
    bool single = !negated;
    for (const auto& r : ranges)
        single = single && r.lo == r.hi && r.lo == ranges.front().lo;
    if (single) {
        e.ch = ranges.front().lo;
    } else {
        e.kind = Element::Class;
        e.negated = negated;
        e.ranges = std::move(ranges);
    }
    return e;
}

namespace {
// Decodes and folds one character; kept inline because it runs for every character scanned.
inline char32_t NextFolded(const unsigned char*& p, const unsigned char* end) {
    unsigned c = *p;
    if (c < 0x80) {
        ++p;
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    }
    if ((c & 0xE0) == 0xC0 && p + 1 < end && (p[1] & 0xC0) == 0x80) {
        char32_t cp = ((c & 0x1Fu) << 6) | (p[1] & 0x3Fu);
        p += 2;
        if (cp >= 0x0430 && cp <= 0x044F)
            return cp - 32;
        if (cp >= 0x0410 && cp <= 0x042F)
            return cp;
        return FoldCase(cp);
    }
    size_t pos = 0;
    std::string_view rest(reinterpret_cast<const char*>(p), static_cast<size_t>(end - p));
    char32_t cp = DecodeUtf8(rest, pos);
    p += pos;
    return FoldCase(cp);
}

inline void SkipChar(const unsigned char*& p, const unsigned char* end) {
    ++p;
    while (p < end && (*p & 0xC0) == 0x80)
        ++p;
}
}  // namespace

bool LikePattern::MatchAt(const Segment& seg, const unsigned char*& p,
                          const unsigned char* end) const {
    const unsigned char* q = p;
    for (const auto& e : seg) {
        if (q >= end)
            return false;
        if (e.kind == Element::Char) {
            // Exact: a character folds to e.ch only in its upper or lower form.
            const size_t left = static_cast<size_t>(end - q);
            const std::string& a = e.forms[0];
            const std::string& b = e.forms[1];
            if (a.size() == 1) {
                if (*q != static_cast<unsigned char>(a[0]) &&
                    *q != static_cast<unsigned char>(b[0])) {
                    return false;
                }
                ++q;
            } else if (a.size() <= left && std::memcmp(q, a.data(), a.size()) == 0) {
                q += a.size();
            } else if (b.size() <= left && std::memcmp(q, b.data(), b.size()) == 0) {
                q += b.size();
            } else {
                return false;
            }
            continue;
        }
        if (!e.Accepts(NextFolded(q, end)))
            return false;
    }
    p = q;
    return true;
}

namespace {
// The next position at or after `from` holding byte a or byte b; `end` when there is none.
inline const unsigned char* FindEither(const unsigned char* from, const unsigned char* end,
                                       unsigned char a, unsigned char b) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(static_cast<char>(a));
    const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
    while (end - from >= 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)));
        if (mask != 0)
            return from + __builtin_ctz(static_cast<unsigned>(mask));
        from += 16;
    }
#endif
    for (; from < end; ++from) {
        if (*from == a || *from == b)
            return from;
    }
    return end;
}
}  // namespace

bool LikePattern::FindSegment(size_t s, const unsigned char*& p,
                              const unsigned char* endLimit) const {
    const Segment& seg = segments_[s];
    const Anchor& anchor = anchors_[s];
    if (anchor.usable) {
        for (const unsigned char* hit = p + anchor.offset; hit < endLimit; ++hit) {
            hit = FindEither(hit, endLimit, anchor.bytes[0], anchor.bytes[1]);
            if (hit >= endLimit)
                break;
            const unsigned char* q = hit - anchor.offset;
            if (MatchAt(seg, q, endLimit)) {
                p = q;
                return true;
            }
        }
        return false;
    }
    // A segment starting with "_" or a class: try every character position.
    while (p < endLimit) {
        const unsigned char* q = p;
        if (MatchAt(seg, q, endLimit)) {
            p = q;
            return true;
        }
        SkipChar(p, endLimit);
    }
    return false;
}

bool LikePattern::Matches(std::string_view value) const {
    const auto* p = reinterpret_cast<const unsigned char*>(value.data());
    const unsigned char* end = p + value.size();

    if (segments_.empty())
        return true;  // only % runs
    size_t first = 0;
    size_t last = segments_.size();
    if (anchoredStart_) {
        if (!MatchAt(segments_[0], p, end))
            return false;
        if (anchoredEnd_ && last == 1)
            return p == end;
        first = 1;
    }
    const unsigned char* endLimit = end;
    if (anchoredEnd_ && last > first) {
        // The tail must match the last characters of the value.
        const Segment& tail = segments_[last - 1];
        const unsigned char* t = end;
        for (size_t k = 0; k < tail.size(); ++k) {
            if (t <= p)
                return false;
            --t;
            while (t > p && (*t & 0xC0) == 0x80)
                --t;
        }
        const unsigned char* probe = t;
        if (!MatchAt(tail, probe, end) || probe != end)
            return false;
        endLimit = t;
        --last;
    }
    for (size_t s = first; s < last; ++s) {
        if (!FindSegment(s, p, endLimit))
            return false;
    }
    return true;
}

namespace {
void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 0));
    if (pattern == nullptr) {
        auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        int n = sqlite3_value_bytes(argv[0]);
        auto owned =
            std::make_unique<LikePattern>(std::string_view(p ? p : "", static_cast<size_t>(n)));
        pattern = owned.get();
        bool matches;
        {
            auto* v = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
            int vn = sqlite3_value_bytes(argv[1]);
            matches = pattern->Matches(std::string_view(v ? v : "", static_cast<size_t>(vn)));
        }
        sqlite3_set_auxdata(ctx, 0, owned.release(),
                            [](void* q) { delete static_cast<LikePattern*>(q); });
        sqlite3_result_int(ctx, matches ? 1 : 0);
        return;
    }
    auto* v = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    int vn = sqlite3_value_bytes(argv[1]);
    sqlite3_result_int(
        ctx, pattern->Matches(std::string_view(v ? v : "", static_cast<size_t>(vn))) ? 1 : 0);
}
}  // namespace

void RegisterJetLike(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "like", 2, flags, nullptr, LikeFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "like", 3, flags, nullptr, LikeFunction, nullptr, nullptr,
                               nullptr);
}

}  // namespace orv
