#include "search/transliteration.h"

#include "util/cp1251.h"

namespace orv {
namespace {

struct Rule {
    const char* latin;
    std::initializer_list<const char*> readings;  // UTF-8, the most common first
};

// Longer spellings first, so that the first fitting rule gives the most common reading.
// ё is written as е: the names are compared with ё folded into е.
const Rule kRules[] = {
    {"shch", {"щ"}},        {"sch", {"щ", "ш"}},
    {"zh", {"ж"}},          {"kh", {"х"}},
    {"ts", {"ц"}},          {"tz", {"ц"}},
    {"ch", {"ч", "х"}},     {"sh", {"ш"}},
    {"ya", {"я", "ья"}},    {"ja", {"я"}},
    {"ia", {"ия", "я"}},    {"yu", {"ю", "ью"}},
    {"ju", {"ю"}},          {"iu", {"ю"}},
    {"yo", {"е", "ье"}},    {"jo", {"е"}},
    {"ye", {"е", "ье"}},    {"je", {"е"}},
    {"ph", {"ф"}},          {"th", {"т"}},
    {"ck", {"к"}},          {"qu", {"кв"}},
    {"iy", {"ий"}},         {"yy", {"ый"}},
    {"a", {"а"}},           {"b", {"б"}},
    {"c", {"ц", "к", "с"}}, {"d", {"д"}},
    {"e", {"е", "э"}},      {"f", {"ф"}},
    {"g", {"г", "ж"}},      {"h", {"х", "г", ""}},
    {"i", {"и", "й", "ы"}}, {"j", {"й", "ж", "дж"}},
    {"k", {"к"}},           {"l", {"л"}},
    {"m", {"м"}},           {"n", {"н"}},
    {"o", {"о"}},           {"p", {"п"}},
    {"q", {"к"}},           {"r", {"р"}},
    {"s", {"с", "з"}},      {"t", {"т"}},
    {"u", {"у", "ю"}},      {"v", {"в"}},
    {"w", {"в"}},           {"x", {"кс", "х"}},
    {"y", {"ы", "й", "и"}}, {"z", {"з", "ц"}},
    {"'", {"ь"}},
};

bool IsLatinByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

std::vector<LatinSpelling> LatinSpellings(std::string_view text) {
    std::vector<LatinSpelling> out;
    for (size_t i = 0; i < text.size(); ++i) {
        bool any = false;
        for (const Rule& rule : kRules) {
            const std::string_view latin(rule.latin);
            if (text.substr(i, latin.size()) != latin)
                continue;
            any = true;
            for (const char* reading : rule.readings) {
                // A silent letter is a guess: it costs half an edit.
                const std::string cyr = Utf8ToCp1251(reading);
                out.push_back({static_cast<int>(i), static_cast<int>(latin.size()), cyr,
                               cyr.empty() ? 5 : 0});
            }
        }
        if (!any)
            out.push_back({static_cast<int>(i), 1, std::string(1, text[i]), 0});
    }
    return out;
}

std::string TransliterateLatin(std::string_view utf8) {
    const std::string bytes = Utf8ToCp1251(utf8);
    std::string lower;
    for (unsigned char c : bytes)
        lower += static_cast<char>(Cp1251Lower(c));
    std::string out;
    for (size_t i = 0; i < lower.size();) {
        const Rule* hit = nullptr;
        for (const Rule& rule : kRules) {
            const std::string_view latin(rule.latin);
            if (std::string_view(lower).substr(i, latin.size()) == latin) {
                hit = &rule;
                break;
            }
        }
        if (!hit) {
            out += bytes[i];
            ++i;
            continue;
        }
        std::string cyr = Utf8ToCp1251(*hit->readings.begin());
        if (!cyr.empty() && IsLatinByte(static_cast<unsigned char>(bytes[i])) &&
            bytes[i] != lower[i])
            cyr[0] = static_cast<char>(Cp1251Upper(static_cast<unsigned char>(cyr[0])));
        out += cyr;
        i += std::string_view(hit->latin).size();
    }
    return Cp1251ToUtf8(out);
}

bool HasLatinLetter(std::string_view utf8) {
    for (unsigned char c : utf8) {
        if (IsLatinByte(c))
            return true;
    }
    return false;
}

}  // namespace orv
