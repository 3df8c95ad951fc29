#include "search/conditions.h"

#include <vector>

#include "util/cp1251.h"
#include "util/text.h"

namespace orv {
namespace {

// The Russian locale's decimal separator, whatever the machine's locale is.
constexpr char32_t kDecimalSeparator = U',';

void AppendPattern(std::string& out, std::string_view word) {
    for (size_t pos = 0; pos < word.size();) {
        const char32_t c = DecodeUtf8(word, pos);
        if ((c >= U'0' && c <= U'9') || c == kDecimalSeparator) {
            out += static_cast<char>(c);
        } else if (UpperChar(c) != LowerChar(c)) {
            out += '[';
            AppendUtf8(out, UpperChar(c));
            AppendUtf8(out, LowerChar(c));
            out += ']';
        } else if (c == U'\'') {
            out += "['']";
        } else if (c == 0) {
            // A NUL would end the statement text early; no stored value holds one.
        } else {
            out += '[';
            AppendUtf8(out, c);  // re-encoded, so stray bytes become valid characters
            out += ']';
        }
    }
}

// A chain of "and" nests one level per word in the database's expression tree, whose depth is
// limited (1000): a long text is joined as a balanced tree instead, a few levels deep.
constexpr size_t kChainedTerms = 64;

void AppendBalanced(std::string& out, const std::vector<std::string>& terms, size_t from,
                    size_t to) {
    if (to - from == 1) {
        out += terms[from];
        return;
    }
    const size_t middle = from + (to - from) / 2;
    out += '(';
    AppendBalanced(out, terms, from, middle);
    out += " and ";
    AppendBalanced(out, terms, middle, to);
    out += ')';
}

}  // namespace

namespace {
struct LikeWordsOf {
    bool anywhere = false;
    std::vector<std::string> words;  // empty when the text gives no condition
};

LikeWordsOf SplitLikeText(std::string_view text, bool exact) {
    LikeWordsOf out;
    if (Trim(text).empty())
        return out;
    std::string t;
    t.reserve(text.size());
    if (exact) {
        t = text;
    } else {
        for (char c : text) {
            if (c == ' ')
                c = '%';
            if (c == '%' && !t.empty() && t.back() == '%')
                continue;
            t += c;
        }
    }
    if (!t.empty() && t.front() == '%') {
        t.erase(0, 1);
        out.anywhere = true;
    }
    std::vector<std::string> words = SplitText(t, "%");
    if (words.front().empty())
        return out;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0 && words[i].empty())
            continue;
        out.words.push_back(std::move(words[i]));
    }
    return out;
}
}  // namespace

std::vector<std::string> LikeWords(std::string_view text, bool exact) {
    std::vector<std::string> out;
    for (const std::string& word : SplitLikeText(text, exact).words) {
        // The characters the pattern compares: re-encoded, without NULs, as AppendPattern
        // writes them.
        std::string literal;
        for (size_t pos = 0; pos < word.size();) {
            const char32_t c = DecodeUtf8(word, pos);
            if (c != 0)
                AppendUtf8(literal, c);
        }
        out.push_back(std::move(literal));
    }
    return out;
}

std::string LikeCondition(std::string_view text, std::string_view column, bool exact) {
    const LikeWordsOf split = SplitLikeText(text, exact);
    if (split.words.empty())
        return {};
    const std::vector<std::string>& words = split.words;
    const bool anywhere = split.anywhere;

    const char* const tail = exact ? "'" : "%'";
    std::vector<std::string> terms;
    terms.reserve(words.size());
    for (size_t i = 0; i < words.size(); ++i) {
        std::string term;
        term.append(column).append(i == 0 && !anywhere ? " like '" : " like '%");
        AppendPattern(term, words[i]);
        term += tail;
        terms.push_back(std::move(term));
    }
    if (terms.size() <= kChainedTerms) {
        std::string out = terms.front();
        for (size_t i = 1; i < terms.size(); ++i)
            out.append(" and ").append(terms[i]);
        return out;
    }
    std::string out;
    AppendBalanced(out, terms, 0, terms.size());
    return out;
}

std::string ListCondition(std::string_view list, std::string_view nameColumn) {
    std::string joined;
    for (const std::string& piece : SplitText(list, ",")) {
        std::string condition = LikeCondition(Trim(piece), nameColumn, true);
        if (condition.empty())
            continue;
        if (!joined.empty())
            joined += " or ";
        joined += condition;
    }
    return joined.empty() ? std::string() : " " + joined;
}

}  // namespace orv
