#include "util/inn_key.h"

#include <algorithm>
#include <vector>

#include "util/cp1251.h"
#include "util/text.h"

namespace orv {
namespace {

// Words that name the salt, the hydrate or the form of a substance rather than the substance.
// `genitive`: the word follows the substance in the genitive ("папаверина гидрохлорид"), which
// is brought back to the nominative when the word is dropped; the cations follow a nominative
// ("метамизол натрия").
struct SaltWord {
    std::string_view word;
    bool genitive;
};
constexpr SaltWord kSaltWords[] = {
    // cations
    {"натрия", false},
    {"калия", false},
    {"кальция", false},
    {"магния", false},
    {"лития", false},
    {"цинка", false},
    {"аммония", false},
    {"натрий", false},
    {"калий", false},
    {"кальций", false},
    {"магний", false},
    // anions and salts
    {"гидрохлорид", true},
    {"гидробромид", true},
    {"хлорид", true},
    {"бромид", true},
    {"йодид", true},
    {"сульфат", true},
    {"гидросульфат", true},
    {"фосфат", true},
    {"нитрат", true},
    {"ацетат", true},
    {"цитрат", true},
    {"малеат", true},
    {"тартрат", true},
    {"битартрат", true},
    {"фумарат", true},
    {"сукцинат", true},
    {"мезилат", true},
    {"безилат", true},
    {"тозилат", true},
    {"лактат", true},
    {"глюконат", true},
    {"карбонат", true},
    {"гидрокарбонат", true},
    {"гидроксид", true},
    {"натриевая", true},
    {"калиевая", true},
    {"соль", true},
    // hydrates and forms
    {"моногидрат", false},
    {"дигидрат", false},
    {"тригидрат", false},
    {"гемигидрат", false},
    {"гидрат", false},
    {"безводный", false},
    {"безводная", false},
};

const SaltWord* FindSalt(std::string_view word) {
    for (const SaltWord& s : kSaltWords) {
        if (s.word == word)
            return &s;
    }
    return nullptr;
}

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// "папаверина" -> "папаверин", "ипратропия" -> "ипратропий"; short words stay.
std::string Nominative(std::string word) {
    constexpr std::string_view kA = "а", kIya = "ия";
    if (EndsWith(word, kIya) && word.size() > 3 * kIya.size()) {
        word.resize(word.size() - kIya.size());
        return word + "ий";
    }
    if (EndsWith(word, kA) && word.size() > 4 * kA.size())
        word.resize(word.size() - kA.size());
    return word;
}

// Folded characters of the text, component separators as '+', everything that is not a
// letter, a digit or a hyphen inside a word as a space.
std::string Fold(std::string_view plain) {
    std::string out;
    out.reserve(plain.size());
    for (size_t i = 0; i < plain.size();) {
        char32_t c = DecodeUtf8(plain, i);
        if (c == U'+' || c == U',' || c == U';') {
            out += '+';
            continue;
        }
        if (c == U'ё' || c == U'Ё')
            c = U'е';
        c = LowerChar(c);
        const bool digit = c >= U'0' && c <= U'9';
        if (IsLetter(c) || digit || c == U'-')
            AppendUtf8(out, c);
        else
            out += ' ';
    }
    return out;
}

std::string Join(const std::vector<std::string>& items, std::string_view separator) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty())
            out += separator;
        out += item;
    }
    return out;
}

std::string KeyOfComponent(std::string_view component) {
    std::vector<std::string> words;
    for (const std::string& w : SplitText(CollapseSpaces(component), " ")) {
        // A hyphen is kept inside a word only ("альфа-токоферол"), not as a dash.
        std::string t = w;
        while (!t.empty() && t.front() == '-')
            t.erase(t.begin());
        while (!t.empty() && t.back() == '-')
            t.pop_back();
        if (!t.empty())
            words.push_back(std::move(t));
    }
    const bool hasSubstance =
        std::any_of(words.begin(), words.end(), [](const std::string& w) { return !FindSalt(w); });
    // Salt words alone: several name an inorganic substance ("натрия хлорид"), one names none.
    if (!hasSubstance)
        return words.size() > 1 ? Join(words, " ") : std::string();
    std::vector<std::string> kept;
    bool previousKept = false;
    for (const std::string& w : words) {
        const SaltWord* salt = FindSalt(w);
        if (!salt) {
            kept.push_back(w);
            previousKept = true;
            continue;
        }
        if (salt->genitive && previousKept)
            kept.back() = Nominative(kept.back());
        previousKept = false;
    }
    return Join(kept, " ");
}

}  // namespace

std::string InnKey(std::string_view inn) {
    const std::string folded = Fold(StripMarkup(inn));
    std::vector<std::string> components;
    for (const std::string& part : SplitText(folded, "+")) {
        std::string key = KeyOfComponent(part);
        if (!key.empty())
            components.push_back(std::move(key));
    }
    std::sort(components.begin(), components.end());
    components.erase(std::unique(components.begin(), components.end()), components.end());
    return Join(components, " + ");
}

std::string CutQuoted(std::string_view text, size_t limit) {
    size_t pos = 0, count = 0;
    while (pos < text.size() && count < limit) {
        DecodeUtf8(text, pos);
        ++count;
    }
    if (pos >= text.size())
        return std::string(text);
    return std::string(text.substr(0, pos)) + "…";
}

std::string InnDisplayText(std::string_view inn) {
    std::string plain = StripMarkup(inn);
    for (char& c : plain) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    return CutQuoted(CollapseSpaces(plain));
}

}  // namespace orv
