#include "display/highlight.h"

#include "util/cp1251.h"
#include "util/text.h"

namespace orv {
namespace {

const std::string_view kOpen = "<font style=\"background-color:#FFFF33;\">";
const std::string_view kClose = "</font>";

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Length of the markup starting at `pos` (a tag, a comment or an entity), 0 when the character
// there is plain text. A tag that never closes takes the rest of the line.
size_t MarkupLength(std::string_view s, size_t pos) {
    const size_t n = s.size();
    if (s[pos] == '<' && pos + 1 < n) {
        if (s.substr(pos, 4) == "<!--") {
            size_t end = s.find("-->", pos + 4);
            return end == std::string_view::npos ? n - pos : end + 3 - pos;
        }
        char c = s[pos + 1];
        bool tag =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '/' || c == '!' || c == '?';
        if (!tag)
            return 0;
        char quote = 0;
        for (size_t i = pos + 1; i < n; ++i) {
            if (quote) {
                if (s[i] == quote)
                    quote = 0;
            } else if (s[i] == '"' || s[i] == '\'') {
                quote = s[i];
            } else if (s[i] == '>') {
                return i + 1 - pos;
            }
        }
        return n - pos;
    }
    if (s[pos] == '&') {
        size_t i = pos + 1;
        if (i < n && s[i] == '#')
            ++i;
        size_t first = i;
        while (i < n && IsAsciiAlnum(s[i]))
            ++i;
        if (i > first && i < n && s[i] == ';')
            return i + 1 - pos;
    }
    return 0;
}

struct Char {
    char32_t folded;
    size_t begin;  // byte offset in the run
};

// Wraps the occurrences of `word` (already folded) in one run of plain text.
void HighlightRun(std::string_view run, const std::u32string& word, std::string_view typed,
                  std::string& out) {
    std::vector<Char> chars;
    for (size_t p = 0; p < run.size();) {
        size_t b = p;
        chars.push_back({LowerChar(DecodeUtf8(run, p)), b});
    }
    size_t copied = 0;  // bytes of the run already in out
    size_t i = 0;
    while (i + word.size() <= chars.size()) {
        bool hit = true;
        for (size_t k = 0; k < word.size() && hit; ++k)
            hit = chars[i + k].folded == word[k];
        if (!hit) {
            ++i;
            continue;
        }
        size_t begin = chars[i].begin;
        size_t end = i + word.size() < chars.size() ? chars[i + word.size()].begin : run.size();
        out.append(run.substr(copied, begin - copied));
        out.append(kOpen);
        out.append(typed);
        out.append(kClose);
        copied = end;
        i += word.size();
    }
    out.append(run.substr(copied));
}

}  // namespace

std::string HighlightWord(std::string_view line, std::string_view word) {
    std::u32string folded;
    for (size_t p = 0; p < word.size();)
        folded += LowerChar(DecodeUtf8(word, p));
    if (folded.empty())
        return std::string(line);
    std::string out;
    out.reserve(line.size() + 64);
    size_t runStart = 0;
    for (size_t pos = 0; pos < line.size();) {
        size_t markup = MarkupLength(line, pos);
        if (markup == 0) {
            ++pos;
            continue;
        }
        HighlightRun(line.substr(runStart, pos - runStart), folded, word, out);
        out.append(line.substr(pos, markup));
        pos += markup;
        runStart = pos;
    }
    HighlightRun(line.substr(runStart), folded, word, out);
    return out;
}

void HighlightSearchWords(std::vector<std::string>& lines, std::string_view filterText) {
    try {
        const std::vector<std::string> words = SplitText(CollapseSpaces(filterText), " ");
        size_t table = 0;
        while (table < lines.size() && lines[table].find("<table") == std::string::npos)
            ++table;
        for (size_t i = table + 2; i < lines.size(); ++i) {
            for (const std::string& w : words)
                lines[i] = HighlightWord(lines[i], w);
        }
    } catch (const std::exception&) {
        // the page is shown without (the rest of) the marks
    }
}

}  // namespace orv
