// The searches of the main window on generated references (30,000 preparations unless other
// counts are given), each as the command runs it (through the word index, or by the scan for a
// word in most rows) beside the plain statement of the same search: the same rows through the
// same `like` and the same list, without the word index. Both must find the same ids in
// the same order. Prints medians, the ratio, and the size of the word index in the file.
//
// Each command is also timed to its first page (the statement and the first batch of the
// list: what the window waits for before it shows the list and the page) and to its count
// (every row read, in the background), beside the list read whole before the command
// returns, as it was read before: the same command, the same rows. `_ours` and `_unindexed`
// are both timed to the count, so that the index is compared over the whole result.
// Targets at 300k, to the first page: rare word <= 5 ms, common word with its list <= 100 ms,
// name filter <= 5 ms, extended search <= 10 ms; index <= 25% of the file; at 30k each >= 5x
// the plain.
//
//   bench_search [PREPARATIONS...]   (e.g. `bench_search 30k 300k`; every count is generated
//                                     in a new temporary folder, removed afterwards)
//
// Generating 300,000 preparations takes half an hour on a busy machine: with
// ORVANTA_BENCH_REFERENCES=<folder> each count's reference is kept in <folder>/search-<count>
// and used again by the next run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "bench_common.h"
#include "db/reference.h"
#include "db/russian_collation.h"
#include "db/schema.h"
#include "search/extended_search.h"
#include "search/quick_filter.h"
#include "util/cp1251.h"
#include "util/text.h"

using Clock = std::chrono::steady_clock;

namespace {

const char* const kWords[] = {"препарат",
                              "лечение",
                              "боль",
                              "головная",
                              "спазм",
                              "гладкой",
                              "мускулатуры",
                              "желудка",
                              "кишечника",
                              "инфекция",
                              "воспаление",
                              "температура",
                              "лихорадка",
                              "простуда",
                              "грипп",
                              "кашель",
                              "бронхит",
                              "ангина",
                              "артериальная",
                              "гипертензия",
                              "сердечная",
                              "недостаточность",
                              "стенокардия",
                              "аритмия",
                              "тромбоз",
                              "профилактика",
                              "инфаркта",
                              "миокарда",
                              "инсульта",
                              "диабет",
                              "сахарный",
                              "аллергия",
                              "крапивница",
                              "дерматит",
                              "экзема",
                              "язва",
                              "гастрит",
                              "изжога",
                              "диарея",
                              "запор",
                              "тошнота",
                              "рвота",
                              "бессонница",
                              "тревога",
                              "депрессия",
                              "невралгия",
                              "остеохондроз",
                              "артрит",
                              "артроз",
                              "ревматизм",
                              "подагра",
                              "цистит",
                              "пиелонефрит",
                              "простатит",
                              "конъюнктивит",
                              "отит",
                              "ринит",
                              "синусит",
                              "фарингит",
                              "ларингит",
                              "пневмония",
                              "туберкулез",
                              "анемия",
                              "витаминов",
                              "дефицит",
                              "железа",
                              "кальция",
                              "магния",
                              "калия",
                              "действие",
                              "оказывает",
                              "обладает",
                              "противовоспалительным",
                              "жаропонижающим",
                              "анальгезирующим",
                              "спазмолитическим",
                              "антибактериальным",
                              "противовирусным",
                              "противогрибковым",
                              "антигистаминным",
                              "гипотензивным",
                              "мочегонным",
                              "седативным",
                              "снотворным",
                              "отхаркивающим",
                              "муколитическим",
                              "иммуномодулирующим",
                              "ингибирует",
                              "фермент",
                              "синтез",
                              "простагландинов",
                              "рецепторы",
                              "блокирует",
                              "снижает",
                              "повышает",
                              "уменьшает",
                              "усиливает",
                              "всасывается",
                              "быстро",
                              "полностью",
                              "метаболизируется",
                              "печени",
                              "выводится",
                              "почками",
                              "период",
                              "полувыведения",
                              "составляет",
                              "часа",
                              "концентрация",
                              "плазме",
                              "крови",
                              "достигается",
                              "через",
                              "после",
                              "приема",
                              "внутрь",
                              "таблетки",
                              "капсулы",
                              "раствор",
                              "инъекций",
                              "сироп",
                              "мазь",
                              "суппозитории",
                              "капли",
                              "взрослым",
                              "детям",
                              "старше",
                              "лет",
                              "назначают",
                              "раза",
                              "сутки",
                              "день",
                              "курс",
                              "недели",
                              "дозу",
                              "максимальная",
                              "суточная",
                              "беременность",
                              "лактация",
                              "повышенная",
                              "чувствительность",
                              "компонентам",
                              "почечная",
                              "печеночная",
                              "тяжелая",
                              "осторожностью",
                              "пожилым",
                              "пациентам",
                              "хранить",
                              "сухом",
                              "защищенном",
                              "света",
                              "месте",
                              "температуре",
                              "выше",
                              "градусов",
                              "срок",
                              "годности",
                              "года"};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

const char* const kSyllables[] = {
    "ка",   "ар",  "ди",  "о",   "ма",  "гнил", "нур", "фен", "ас",  "пи",  "рин",  "пан", "тен",
    "ол",   "цит", "ра",  "мон", "лор", "тал",  "зи",  "вер", "сан", "мед", "фарм", "ло",  "на",
    "ксен", "бу",  "тро", "нит", "ви",  "та",   "мин", "ге",  "ро",  "кор", "де",   "кс"};
const char* const kSuffixes[] = {"",        "",      "",        "",          " форте",
                                 " ретард", " плюс", " Кардио", " Экспресс", " Нео"};

std::string TradeName(std::mt19937& rng) {
    std::string s;
    const int n = 2 + static_cast<int>(rng() % 3);
    for (int i = 0; i < n; ++i)
        s += kSyllables[rng() % (sizeof kSyllables / sizeof kSyllables[0])];
    s = orv::UpperText(s.substr(0, 2)) + s.substr(2);  // first letter (2 UTF-8 bytes) upper
    return s + kSuffixes[rng() % (sizeof kSuffixes / sizeof kSuffixes[0])];
}

// A vocabulary of the fixed words above and pseudo-words made of syllables, drawn with a
// Zipf-like distribution, so that common words are in most texts and rare ones in a few.
class Vocabulary {
  public:
    explicit Vocabulary(std::mt19937& rng) {
        for (size_t i = 0; i < kWordCount; ++i)
            words_.push_back(kWords[i]);
        while (words_.size() < 2500) {
            std::string w;
            const int n = 2 + static_cast<int>(rng() % 3);
            for (int i = 0; i < n; ++i)
                w += kSyllables[rng() % (sizeof kSyllables / sizeof kSyllables[0])];
            if (w != "мигрень")
                words_.push_back(w);
        }
        // The word the benchmark looks for: a rare one, in a few percent of the texts.
        words_.insert(words_.begin() + 900, "мигрень");
        std::vector<double> weights;
        for (size_t r = 0; r < words_.size(); ++r)
            weights.push_back(1.0 / (static_cast<double>(r) + 10.0));
        pick_ = std::discrete_distribution<size_t>(weights.begin(), weights.end());
    }
    const std::string& Next(std::mt19937& rng) { return words_[pick_(rng)]; }

  private:
    std::vector<std::string> words_;
    std::discrete_distribution<size_t> pick_;
};

std::string Sentence(std::mt19937& rng, Vocabulary& vocabulary, int words) {
    std::string s;
    for (int i = 0; i < words; ++i) {
        if (i)
            s += (rng() % 9 == 0) ? ", " : " ";
        s += vocabulary.Next(rng);
        if (rng() % 40 == 0)
            s += " " + std::to_string(rng() % 500);
    }
    s = orv::UpperText(s.substr(0, 2)) + s.substr(2);
    return s + ".";
}

std::string Text(std::mt19937& rng, Vocabulary& vocabulary, int minWords, int maxWords) {
    const int n =
        minWords + static_cast<int>(rng() % static_cast<unsigned>(maxWords - minWords + 1));
    std::string s;
    for (int done = 0; done < n;) {
        const int w = 6 + static_cast<int>(rng() % 12);
        s += (s.empty() ? "" : "<br>") + Sentence(rng, vocabulary, w);
        done += w;
    }
    return s;
}

void Generate(const std::string& path, int count) {
    orv::CreateReferenceFile(path);
    orv::Database db(path);
    std::mt19937 rng(20261209);
    Vocabulary vocabulary(rng);
    auto text = [&](int minWords, int maxWords) {
        return Text(rng, vocabulary, minWords, maxWords);
    };
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        names.push_back(TradeName(rng));
    orv::Statement ins = db.Prepare(
        "insert into b (id, pname, synonim, status, g, n12, ndx1, ndx2, n1, n2, n3, n4, n5, n6, "
        "n7, n8, n9, n10, "
        "n11, n13, n14, n15) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?)");
    db.Begin();
    for (int i = 0; i < count; ++i) {
        std::string syn;
        for (unsigned k = rng() % 4; k > 0; --k)
            syn += (syn.empty() ? "" : ", ") + names[rng() % names.size()];
        const std::string action = text(40, 140);      // n2
        const std::string indications = text(15, 70);  // n5
        auto blob = [](const std::string& t) { return orv::Blob{orv::ScrambleForStorage(t)}; };
        int c = 1;
        ins.Reset();
        ins.Bind(c++, std::int64_t{i + 1});
        ins.Bind(c++, names[static_cast<size_t>(i)]);
        ins.Bind(c++, syn);
        ins.Bind(c++, std::int64_t{rng() % 5 == 0 ? static_cast<int>(1 + rng() % 40) : 0});
        ins.Bind(c++, std::int64_t{-static_cast<int>(1 + rng() % 300)});
        ins.Bind(c++, std::to_string(1 + rng() % 300));
        ins.Bind(c++, orv::IndexWords(indications));
        ins.Bind(c++, orv::IndexWords(action));
        ins.Bind(c++, blob(text(5, 25)));   // n1 composition
        ins.Bind(c++, blob(action));        // n2
        ins.Bind(c++, blob(text(20, 60)));  // n3 side effects
        ins.Bind(c++, blob(text(15, 50)));  // n4 interactions
        ins.Bind(c++, blob(indications));   // n5
        ins.Bind(c++, blob(text(15, 45)));  // n6 contraindications
        ins.Bind(c++, blob(text(20, 60)));  // n7 dosage
        ins.Bind(c++, blob(text(5, 15)));   // n8 forms
        ins.Bind(c++, blob(text(5, 12)));   // n9 storage
        ins.Bind(c++, blob(""));            // n10
        ins.Bind(c++, blob("[" + std::to_string(1 + rng() % 2000) + "]"));
        ins.Bind(c++, blob(text(1, 4)));   // n13
        ins.Bind(c++, blob(text(5, 25)));  // n14
        ins.Bind(c++, blob(text(5, 35)));  // n15
        ins.Step();
    }
    db.Commit();
    db.Exec("analyze");
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double TimeMs(const std::function<void()>& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<std::int64_t> Ids(orv::Database& db, const std::string& sql) {
    std::vector<std::int64_t> ids;
    orv::Statement st = db.Prepare("select id from (" + sql + ")");
    while (st.Step())
        ids.push_back(st.ColumnInt(0));
    return ids;
}

double TableBytes(orv::Database& db, const std::string& where) {
    orv::Statement st = db.Prepare("select coalesce(sum(pgsize), 0) from dbstat where " + where);
    st.Step();
    return static_cast<double>(st.ColumnInt(0));
}

struct Case {
    const char* name;
    // Runs the command as the window does; the list then holds its rows.
    std::function<void(orv::Reference&)> run;
    std::function<std::string(const std::string& nameColumn, bool indexed)> sql;
    bool locate = false;  // the name filter also puts the cursor on the typed name
    const char* locateText = "";
};

bool RunCount(int count) {
    using orv::bench::Figure;
    const std::string label = orv::bench::CountLabel(count);
    orv::bench::WorkDir work("search-" + label);
    std::string folder = work.str();
    if (const char* keep = std::getenv("ORVANTA_BENCH_REFERENCES"); keep && *keep) {
        folder = (std::filesystem::path(keep) / ("search-" + label)).string();
        std::filesystem::create_directories(folder);
    }
    const std::string path = folder + "/source.bin";
    const std::string ready = folder + "/generated";  // written once the file is complete
    if (!std::filesystem::exists(ready)) {
        std::filesystem::remove(path);
        const auto generateStart = Clock::now();
        Generate(path, count);
        std::fclose(std::fopen(ready.c_str(), "w"));
        Figure(label + "_generate",
               std::chrono::duration<double>(Clock::now() - generateStart).count(), "s", 1,
               "not counted");
    } else {
        Figure(label + "_generate", 0, "s", 1, "the reference of an earlier run");
    }

    orv::Reference ref(folder);
    const std::string col = ref.NameColumn();
    const orv::ExtendedCriteria extended{.name = "форте", .indications = "головная боль"};
    const Case cases[] = {
        {"name_filter", [](orv::Reference& r) { orv::FilterTableName(r, "ка форте"); },
         [](const std::string& c, bool i) { return orv::NameFilterSql("ка форте", c, i); }, true,
         "ка форте"},
        {"name_filter_rare", [](orv::Reference& r) { orv::FilterTableName(r, "Пикор"); },
         [](const std::string& c, bool i) { return orv::NameFilterSql("Пикор", c, i); }, true,
         "Пикор"},
        {"universal_rare", [](orv::Reference& r) { orv::UniversalSearch(r, "мигрень"); },
         [](const std::string& c, bool i) { return *orv::UniversalSearchSql("мигрень", c, i); }},
        {"universal_mixed_case", [](orv::Reference& r) { orv::UniversalSearch(r, "МиГрЕнЬ"); },
         [](const std::string& c, bool i) { return *orv::UniversalSearchSql("МиГрЕнЬ", c, i); }},
        {"universal_common", [](orv::Reference& r) { orv::UniversalSearch(r, "боль"); },
         [](const std::string& c, bool i) { return *orv::UniversalSearchSql("боль", c, i); }},
        {"extended", [&](orv::Reference& r) { orv::ExtendedSearch(r, extended); },
         [&](const std::string& c, bool i) { return *orv::ExtendedSearchSql(extended, c, i); }},
    };

    constexpr int kRuns = 9;
    Figure(label + "_preparations", ref.TotalPreparations(), "rows", 0);
    Figure(label + "_load_average", orv::bench::LoadAverage(), "", 2,
           "other work on the machine when the figures were taken");
    bool same = true;
    for (const auto& c : cases) {
        const std::string plainSql = c.sql(col, false);
        std::vector<double> ours, plain, firstPage, whole;
        int rows = 0, plainRows = 0;
        for (int i = 0; i <= kRuns; ++i) {  // the first of each is a warm-up
            const auto start = Clock::now();
            c.run(ref);
            const auto shown = Clock::now();
            rows = ref.qMain.RecordCount();
            const auto counted = Clock::now();
            // The same command with the list read whole before it returns.
            ref.qMain.SetBatchRows(std::numeric_limits<int>::max(), orv::DataSet::kBatchRows);
            const double w = TimeMs([&] { c.run(ref); });
            ref.qMain.SetBatchRows(orv::DataSet::kFirstRows, orv::DataSet::kBatchRows);
            // The same list through the plain statement.
            const double p = TimeMs([&] {
                ref.qMain.SetSql(plainSql);
                ref.qMain.Open();
                if (c.locate && !ref.qMain.IsEmpty())
                    ref.qMain.Locate(col, std::string(c.locateText),
                                     {.caseInsensitive = true, .partialKey = true});
                ref.qMain.RecordCount();
            });
            plainRows = ref.qMain.RecordCount();
            if (i > 0) {
                using Ms = std::chrono::duration<double, std::milli>;
                firstPage.push_back(Ms(shown - start).count());
                ours.push_back(Ms(counted - start).count());
                whole.push_back(w);
                plain.push_back(p);
            }
        }
        c.run(ref);
        // The command runs the indexed statement, or the scan for a word in most rows.
        const bool narrowed = ref.qMain.Sql() != plainSql;
        const std::vector<std::int64_t> expected = Ids(ref.Db(), plainSql);
        std::vector<std::int64_t> listed;  // as the list gives them, batch after batch
        for (int r = 0; r < ref.qMain.RecordCount(); ++r)
            listed.push_back(std::atoll(ref.qMain.TextAt(r, "id").c_str()));
        const bool sameIds = Ids(ref.Db(), ref.qMain.Sql()) == expected && listed == expected;
        same = same && sameIds && rows == plainRows;
        const std::string n = label + "_" + c.name;
        Figure(n + "_ours", Median(ours), "ms", 2,
               narrowed ? "through the word index" : "the scan");
        Figure(n + "_unindexed", Median(plain), "ms", 2);
        Figure(n + "_speedup", Median(plain) / Median(ours), "x", 1, "unindexed / ours, same run");
        Figure(n + "_first_page", Median(firstPage), "ms", 2,
               "statement and first batch: the list and the page can show");
        Figure(n + "_read_whole", Median(whole), "ms", 2, "the same command, list read at once");
        Figure(n + "_first_page_speedup", Median(whole) / Median(firstPage), "x", 1,
               "read whole / first page, same run");
        Figure(n + "_rows", rows, "rows", 0,
               sameIds ? "the same ids in the same order as the unindexed statement"
                       : "DIFFERENT ROWS from the unindexed statement");
    }

    const double index = TableBytes(ref.Db(), "substr(name, 1, 7) = 'b_words'");
    const double file = TableBytes(ref.Db(), "1");
    Figure(label + "_index_size", index / 1e6, "MB", 1);
    Figure(label + "_database_size", file / 1e6, "MB", 1);
    Figure(label + "_index_share", 100.0 * index / file, "%", 1, "target <= 25");
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    bool same = true;
    try {
        for (int count : orv::bench::PreparationCounts(argc, argv, 30000))
            same = RunCount(count) && same;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_search: %s\n", e.what());
        return 1;
    }
    return same ? 0 : 1;
}
