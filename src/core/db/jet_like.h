#pragma once
// Jet's LIKE: % any run, _ one character, [...] one character of a class, [!...] negated,
// ranges inside classes, the first character after [ (or [!) taken literally so []] and [[]
// work; "[!]" alone is the literal "!". Letters compare without case over the windows-1251
// repertoire.
#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

namespace orv {

class LikePattern {
  public:
    explicit LikePattern(std::string_view pattern);
    bool Matches(std::string_view value) const;

  private:
    struct Range {
        char32_t lo, hi;
    };
    struct Element {
        enum Kind { Char, One, Class } kind = Char;
        char32_t ch = 0;       // folded, for Char
        std::string forms[2];  // UTF-8 of its upper and lower form, for Char
        bool negated = false;
        std::vector<Range> ranges;  // folded bounds, for Class
        bool Accepts(char32_t folded) const;
    };
    using Segment = std::vector<Element>;
    static Element ParseElement(const std::u32string& p, size_t& i);
    bool MatchAt(const Segment& seg, const unsigned char*& p, const unsigned char* end) const;

    // Where to look for a segment inside the value: the last UTF-8 byte of one of its literal
    // characters (the one rarest in Russian text), in either case, at a fixed byte offset
    // from the segment's start. Scanning for that byte skips most of the text at memchr speed.
    struct Anchor {
        bool usable = false;
        unsigned char bytes[2] = {0, 0};  // last byte of the upper and of the lower form
        size_t offset = 0;                // bytes from the segment's start to that last byte
    };
    static Anchor ChooseAnchor(const Segment& seg);
    bool FindSegment(size_t s, const unsigned char*& p, const unsigned char* endLimit) const;

    std::vector<Segment> segments_;  // pieces between % runs
    std::vector<Anchor> anchors_;    // one per segment
    bool anchoredStart_ = true;
    bool anchoredEnd_ = true;
};

// Folds a character for case-insensitive comparison (windows-1251 letters).
char32_t FoldCase(char32_t c);

void RegisterJetLike(sqlite3* db);

}  // namespace orv
