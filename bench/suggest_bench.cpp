// The name matcher behind "did you mean": how fast it is built and answers, how much memory
// it holds, and how often it finds the name that was meant.
//
// Speed, on the demo reference and on generated references of 30,000 preparations (or the
// counts given; --300k adds 300,000): build time, memory, median and p99 of one suggestion, each
// beside the same answer computed name by name (the baseline finds the same candidates). Targets at
// 300k: build <= 1 s, memory <= 64 MB, median <= 10 ms, p99 <= 30 ms.
//
// Quality, on the demo and the first generated reference: misspellings of real names of each kind
// (neighbouring key, missing, extra, swapped, doubled letter, wrong first letter, two edits,
// the whole name in the other layout, the whole name in Latin letters); recall@1 and @5 per
// kind; exact names that got a suggestion (must be 0); suggestions for words that are no
// name (false-suggestion rate).
//
//   bench_suggest [DEMO_DIR] [PREPARATIONS...] [--300k]   (DEMO_DIR holds source.bin; default:
//                                                         the build's bin; nothing is written)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench_common.h"
#include "db/reference.h"
#include "search/keyboard_layout.h"
#include "search/name_index.h"
#include "search/name_matcher.h"
#include "update/packet_file.h"
#include "update/packet_generator.h"
#include "util/cp1251.h"

using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct Row {
    std::int64_t id;
    std::string name, synonyms;  // UTF-8
};

std::vector<Row> GeneratedRows(int preparations) {
    orv::GeneratorOptions o;
    o.preparations = preparations;
    const orv::PacketContent c = orv::GeneratePacket(o);
    std::vector<Row> rows;
    rows.reserve(c.preparations.size());
    for (const std::string& line : c.preparations) {
        std::vector<std::string> f;
        size_t from = 0;
        for (int i = 0; i < 4; ++i) {
            const size_t to = line.find(orv::kFieldSeparator, from);
            f.push_back(line.substr(from, to == std::string::npos ? std::string::npos : to - from));
            if (to == std::string::npos)
                break;
            from = to + 1;
        }
        if (f.size() < 4)
            continue;
        rows.push_back({std::stoll(f[0]), orv::Cp1251ToUtf8(f[2]), orv::Cp1251ToUtf8(f[3])});
    }
    // The list's order: by name.
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return orv::FoldName(a.name, 255) < orv::FoldName(b.name, 255);
    });
    return rows;
}

std::vector<Row> DemoRows(const std::string& dir) {
    orv::Reference ref(dir);
    std::vector<Row> rows;
    orv::Statement st = ref.Db().Prepare("select id, " + ref.NameColumn() +
                                         ", synonim from b order by " + ref.NameColumn());
    while (st.Step())
        rows.push_back({st.ColumnInt(0), st.ColumnText(1), st.ColumnText(2)});
    return rows;
}

void Fill(orv::NameMatcher& m, const std::vector<Row>& rows) {
    m.Clear();
    for (const Row& r : rows)
        m.Add(r.id, r.name, r.synonyms);
    m.Finish();
}

// Letters of a name as code points, and back.
std::u32string Chars(const std::string& utf8) {
    std::u32string s;
    for (size_t p = 0; p < utf8.size();)
        s += orv::DecodeUtf8(utf8, p);
    return s;
}
std::string Utf8(const std::u32string& s) {
    std::string out;
    for (char32_t c : s)
        orv::AppendUtf8(out, c);
    return out;
}

const std::u32string kLetters = U"абвгдежзийклмнопрстуфхцчшщъыьэюя";
const std::u32string kRows[3] = {U"йцукенгшщзхъ", U"фывапролджэ", U"ячсмитьбю"};

char32_t Neighbour(char32_t c, std::mt19937& rng) {
    const char32_t lower = orv::LowerChar(c);
    for (int r = 0; r < 3; ++r) {
        const size_t p = kRows[r].find(lower);
        if (p == std::u32string::npos)
            continue;
        std::vector<char32_t> n;
        if (p > 0)
            n.push_back(kRows[r][p - 1]);
        if (p + 1 < kRows[r].size())
            n.push_back(kRows[r][p + 1]);
        return n[rng() % n.size()];
    }
    return kLetters[rng() % kLetters.size()];
}

std::vector<size_t> LetterPositions(const std::u32string& s) {
    std::vector<size_t> p;
    for (size_t i = 0; i < s.size(); ++i) {
        if (orv::IsLetter(s[i]))
            p.push_back(i);
    }
    return p;
}

enum Kind {
    kNeighbourKey,
    kOmission,
    kInsertion,
    kTransposition,
    kDoubled,
    kFirstLetter,
    kTwoEdits,
    kLayout,
    kTranslit,
    kKinds
};
const char* const kKindNames[kKinds] = {"neighbour_key", "omission", "insertion",
                                        "transposition", "doubled",  "first_letter",
                                        "two_edits",     "layout",   "translit"};

bool OneEdit(std::u32string& s, int kind, std::mt19937& rng) {
    const std::vector<size_t> letters = LetterPositions(s);
    if (letters.size() < 4)
        return false;
    const size_t at = letters[1 + rng() % (letters.size() - 1)];
    switch (kind) {
        case kNeighbourKey:
            s[at] = Neighbour(s[at], rng);
            return true;
        case kOmission:
            s.erase(at, 1);
            return true;
        case kInsertion:
            s.insert(at, 1, kLetters[rng() % kLetters.size()]);
            return true;
        case kTransposition:
            if (at + 1 >= s.size() || !orv::IsLetter(s[at + 1]) || s[at] == s[at + 1])
                return false;
            std::swap(s[at], s[at + 1]);
            return true;
        case kDoubled:
            s.insert(at, 1, s[at]);
            return true;
        case kFirstLetter: {
            char32_t c;
            do
                c = kLetters[rng() % kLetters.size()];
            while (c == orv::LowerChar(s[letters[0]]));
            s[letters[0]] = c;
            return true;
        }
        default:
            return false;
    }
}

// Two common ways to spell Russian in Latin letters: passport-like and informal.
std::string Latin(const std::string& name, bool informal) {
    static const std::map<char32_t, const char*> passport = {
        {U'а', "a"},  {U'б', "b"},  {U'в', "v"},    {U'г', "g"},  {U'д', "d"},  {U'е', "e"},
        {U'ё', "e"},  {U'ж', "zh"}, {U'з', "z"},    {U'и', "i"},  {U'й', "i"},  {U'к', "k"},
        {U'л', "l"},  {U'м', "m"},  {U'н', "n"},    {U'о', "o"},  {U'п', "p"},  {U'р', "r"},
        {U'с', "s"},  {U'т', "t"},  {U'у', "u"},    {U'ф', "f"},  {U'х', "kh"}, {U'ц', "ts"},
        {U'ч', "ch"}, {U'ш', "sh"}, {U'щ', "shch"}, {U'ъ', "ie"}, {U'ы', "y"},  {U'ь', ""},
        {U'э', "e"},  {U'ю', "iu"}, {U'я', "ia"}};
    static const std::map<char32_t, const char*> casual = {
        {U'а', "a"},  {U'б', "b"},  {U'в', "w"},   {U'г', "g"},  {U'д', "d"}, {U'е', "e"},
        {U'ё', "yo"}, {U'ж', "j"},  {U'з', "z"},   {U'и', "i"},  {U'й', "y"}, {U'к', "k"},
        {U'л', "l"},  {U'м', "m"},  {U'н', "n"},   {U'о', "o"},  {U'п', "p"}, {U'р', "r"},
        {U'с', "s"},  {U'т', "t"},  {U'у', "u"},   {U'ф', "ph"}, {U'х', "h"}, {U'ц', "c"},
        {U'ч', "ch"}, {U'ш', "sh"}, {U'щ', "sch"}, {U'ъ', ""},   {U'ы', "y"}, {U'ь', "'"},
        {U'э', "e"},  {U'ю', "yu"}, {U'я', "ya"}};
    const auto& table = informal ? casual : passport;
    std::string out;
    for (char32_t c : Chars(name)) {
        const auto it = table.find(orv::LowerChar(c));
        if (it != table.end())
            out += it->second;
        else
            orv::AppendUtf8(out, c);
    }
    return out;
}

struct Tally {
    int tried = 0, at1 = 0, at5 = 0, skipped = 0;
};

void Quality(const char* label, const std::vector<Row>& rows, int samples, std::uint32_t seed) {
    orv::NameMatcher m;
    Fill(m, rows);
    std::mt19937 rng(seed);
    Tally t[kKinds];
    int exactTried = 0, exactSuggested = 0;
    for (int n = 0; n < samples; ++n) {
        const size_t pick = samples >= static_cast<int>(rows.size())
                                ? static_cast<size_t>(n) % rows.size()
                                : rng() % rows.size();
        const Row& row = rows[pick];
        ++exactTried;
        if (!m.Suggest(row.name, 5).empty())
            ++exactSuggested;
        const std::string target = orv::FoldName(row.name, 255);
        for (int kind = 0; kind < kKinds; ++kind) {
            std::string typed;
            if (kind == kLayout) {
                typed = orv::RussianKeysToLatin(row.name);
            } else if (kind == kTranslit) {
                typed = Latin(row.name, n % 2 == 1);
            } else {
                std::u32string s = Chars(row.name);
                bool ok = kind == kTwoEdits
                              ? OneEdit(s, static_cast<int>(rng() % kFirstLetter), rng) &&
                                    OneEdit(s, static_cast<int>(rng() % kFirstLetter), rng)
                              : OneEdit(s, kind, rng);
                // Two edits are allowed in texts of more than five letters only.
                if (!ok || (kind == kTwoEdits && LetterPositions(s).size() <= 5))
                    continue;
                typed = Utf8(s);
            }
            // A misspelling that is itself the start of a name is found by the searches.
            if (m.StartsSomeName(typed)) {
                ++t[kind].skipped;
                continue;
            }
            ++t[kind].tried;
            const auto found = m.Suggest(typed, 5);
            for (size_t i = 0; i < found.size(); ++i) {
                if (orv::FoldName(m.Name(found[i].preparation), 255) == target) {
                    t[kind].at5++;
                    if (i == 0)
                        t[kind].at1++;
                    break;
                }
            }
        }
    }
    for (int kind = 0; kind < kKinds; ++kind) {
        const double d = std::max(1, t[kind].tried);
        std::printf("%s_recall1_%s: %.1f %%\n", label, kKindNames[kind], 100.0 * t[kind].at1 / d);
        std::printf("%s_recall5_%s: %.1f %%\n", label, kKindNames[kind], 100.0 * t[kind].at5 / d);
        std::printf("%s_cases_%s: %d (%d more were names already)\n", label, kKindNames[kind],
                    t[kind].tried, t[kind].skipped);
    }
    std::printf("%s_exact_names_with_suggestion: %d of %d\n", label, exactSuggested, exactTried);

    // Words that are no name: common words of the description texts, and random letters.
    const char* const words[] = {
        "лечение",    "головная",     "кишечника",    "температура", "простуда",     "кашель",
        "бронхит",    "ангина",       "давление",     "сердечная",   "стенокардия",  "аритмия",
        "тромбоз",    "профилактика", "инфаркта",     "миокарда",    "инсульта",     "диабет",
        "сахарный",   "аллергия",     "крапивница",   "дерматит",    "экзема",       "язва",
        "гастрит",    "изжога",       "диарея",       "запор",       "тошнота",      "рвота",
        "бессонница", "тревога",      "депрессия",    "невралгия",   "остеохондроз", "артрит",
        "подагра",    "цистит",       "простатит",    "отит",        "ринит",        "синусит",
        "пневмония",  "туберкулез",   "анемия",       "витамины",    "кальций",      "магний",
        "таблетки",   "капсулы",      "раствор",      "сироп",       "мазь",         "капли",
        "взрослым",   "детям",        "беременность", "хранить",     "холодильник",  "рецепт"};
    int wordsTried = 0, wordsSuggested = 0;
    for (const char* w : words) {
        if (m.StartsSomeName(w))
            continue;
        ++wordsTried;
        wordsSuggested += m.Suggest(w, 5).empty() ? 0 : 1;
    }
    int randomTried = 0, randomSuggested = 0;
    for (int n = 0; n < 300; ++n) {
        std::u32string s;
        const int len = 5 + static_cast<int>(rng() % 6);
        for (int i = 0; i < len; ++i)
            s += kLetters[rng() % kLetters.size()];
        if (m.StartsSomeName(Utf8(s)))
            continue;
        ++randomTried;
        randomSuggested += m.Suggest(Utf8(s), 5).empty() ? 0 : 1;
    }
    std::printf("%s_false_suggestions_words: %.1f %% (%d of %d)\n", label,
                100.0 * wordsSuggested / std::max(1, wordsTried), wordsSuggested, wordsTried);
    std::printf("%s_false_suggestions_random: %.1f %% (%d of %d)\n", label,
                100.0 * randomSuggested / std::max(1, randomTried), randomSuggested, randomTried);
}

// Misspelled queries of every kind, for timing.
std::vector<std::string> Queries(const std::vector<Row>& rows, int count, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::string> q;
    while (static_cast<int>(q.size()) < count) {
        const Row& row = rows[rng() % rows.size()];
        const int kind = static_cast<int>(rng() % kKinds);
        if (kind == kLayout) {
            q.push_back(orv::RussianKeysToLatin(row.name));
        } else if (kind == kTranslit) {
            q.push_back(Latin(row.name, rng() % 2 == 0));
        } else {
            std::u32string s = Chars(row.name);
            if (kind == kTwoEdits ? OneEdit(s, kOmission, rng) && OneEdit(s, kNeighbourKey, rng)
                                  : OneEdit(s, kind, rng))
                q.push_back(Utf8(s));
        }
    }
    return q;
}

struct Times {
    double median = 0, p99 = 0;
};

template <class F>
Times Time(const std::vector<std::string>& queries, F&& suggest) {
    std::vector<double> t;
    for (const std::string& q : queries) {
        const auto a = Clock::now();
        suggest(q);
        t.push_back(Ms(a, Clock::now()));
    }
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t[std::min(t.size() - 1, t.size() * 99 / 100)]};
}

void Speed(const char* label, const std::vector<Row>& rows, int queries, int baselineQueries) {
    orv::NameMatcher m;
    const auto a = Clock::now();
    Fill(m, rows);
    const double build = Ms(a, Clock::now());
    std::printf("%s_preparations: %zu\n", label, rows.size());
    std::printf("%s_build: %.1f ms\n", label, build);
    std::printf("%s_memory: %.1f MB\n", label, static_cast<double>(m.MemoryBytes()) / 1048576.0);
    const std::vector<std::string> q = Queries(rows, queries, 7);
    const Times fast = Time(q, [&](const std::string& s) { return m.Suggest(s, 5); });
    const std::vector<std::string> bq(
        q.begin(), q.begin() + std::min<size_t>(q.size(), static_cast<size_t>(baselineQueries)));
    int same = 0;
    for (const std::string& s : bq) {
        const auto x = m.Suggest(s, 5), y = m.SuggestKeyByKey(s, 5);
        bool eq = x.size() == y.size();
        for (size_t i = 0; eq && i < x.size(); ++i)
            eq = x[i].preparation == y[i].preparation && x[i].cost == y[i].cost;
        same += eq ? 1 : 0;
    }
    const Times base = Time(bq, [&](const std::string& s) { return m.SuggestKeyByKey(s, 5); });
    const Times fastOnBase = Time(bq, [&](const std::string& s) { return m.Suggest(s, 5); });
    std::printf("%s_suggest_median: %.2f ms\n", label, fast.median);
    std::printf("%s_suggest_p99: %.2f ms\n", label, fast.p99);
    std::printf("%s_baseline_name_by_name_median: %.2f ms (%d queries, same answer for %d)\n",
                label, base.median, static_cast<int>(bq.size()), same);
    std::printf("%s_speedup_vs_baseline: %.1f x\n", label,
                base.median / std::max(1e-6, fastOnBase.median));
}

}  // namespace

int main(int argc, char** argv) {
    std::string demoDir = ORVANTA_BIN_DIR;
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--300k") == 0)
            counts.push_back(300000);
        else if (const int n = orv::bench::ParseCount(argv[i]))
            counts.push_back(n);
        else
            demoDir = argv[i];
    }
    if (counts.empty())
        counts.push_back(30000);
    const std::vector<Row> demo = DemoRows(demoDir);
    Speed("demo", demo, 400, 400);
    std::vector<Row> first;
    for (int count : counts) {
        std::vector<Row> rows = GeneratedRows(count);
        Speed(orv::bench::CountLabel(count).c_str(), rows, 1000, count > 100000 ? 20 : 100);
        if (first.empty())
            first = std::move(rows);
    }
    Quality("demo", demo, static_cast<int>(demo.size()) * 10, 11);
    Quality(orv::bench::CountLabel(counts.front()).c_str(), first, 1000, 12);
    return 0;
}
