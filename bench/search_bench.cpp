// The searches of the main window on a generated reference of 30,000 preparations, each
// beside the same statement run with SQLite's built-in LIKE on lower-cased patterns.
// Prints medians. Targets: universal search <= 100 ms, name filter <= 30 ms, and no slower
// than the built-in baseline.
//
//   bench_search [FOLDER]   (default /tmp/orvanta-bench-search; the reference is generated
//                            there once and reused by later runs)
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "db/reference.h"
#include "db/russian_collation.h"
#include "db/schema.h"
#include "search/extended_search.h"
#include "search/quick_filter.h"
#include "util/cp1251.h"
#include "util/text.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPreparations = 30000;

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

void Generate(const std::string& path) {
    std::printf("generating %d preparations into %s ...\n", kPreparations, path.c_str());
    const auto start = Clock::now();
    orv::CreateReferenceFile(path);
    orv::Database db(path);
    std::mt19937 rng(20261209);
    Vocabulary vocabulary(rng);
    auto text = [&](int minWords, int maxWords) {
        return Text(rng, vocabulary, minWords, maxWords);
    };
    std::vector<std::string> names;
    names.reserve(kPreparations);
    for (int i = 0; i < kPreparations; ++i)
        names.push_back(TradeName(rng));
    orv::Statement ins = db.Prepare(
        "insert into b (id, pname, synonim, status, g, n12, ndx1, ndx2, n1, n2, n3, n4, n5, n6, "
        "n7, n8, n9, n10, "
        "n11, n13, n14, n15) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?)");
    db.Begin();
    for (int i = 0; i < kPreparations; ++i) {
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
    std::printf("generated in %.1f s, file %.0f MB\n",
                std::chrono::duration<double>(Clock::now() - start).count(),
                static_cast<double>(std::filesystem::file_size(path)) / 1e6);
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

// The built-in LIKE: a connection with the collation of the name columns but not our `like`.
class Baseline {
  public:
    explicit Baseline(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
        orv::RegisterRussianCollation(db_);
    }
    ~Baseline() { sqlite3_close_v2(db_); }
    // Loads the same light columns the list loads; returns the row count.
    int Run(const std::string& sql) const {
        sqlite3_stmt* st = nullptr;
        const std::string wrapped = "select id, pname, synonim, g, status from (" + sql + ")";
        if (sqlite3_prepare_v2(db_, wrapped.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            std::printf("baseline error: %s\n", sqlite3_errmsg(db_));
            return -1;
        }
        std::vector<std::vector<orv::Value>> rows;
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::vector<orv::Value> row;
            row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(st, 0)));
            for (int i = 1; i < 3; ++i) {
                auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                row.emplace_back(std::string(t ? t : ""));
            }
            row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(st, 3)));
            row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(st, 4)));
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(st);
        return static_cast<int>(rows.size());
    }

  private:
    sqlite3* db_ = nullptr;
};

struct Case {
    const char* title;
    double targetMs;                                  // 0: none beyond the baseline
    std::function<std::string(orv::Reference&)> run;  // runs the command, returns its statement
    std::string baselineSql;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/orvanta-bench-search";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/source.bin";
    if (!std::filesystem::exists(path))
        Generate(path);

    orv::Reference ref(dir);
    Baseline baseline(path);
    const Case cases[] = {
        {"name filter, two words (\"ка форте\")", 30,
         [](orv::Reference& r) {
             orv::FilterTableName(r, "ка форте");
             return r.qMain.Sql();
         },
         "select * from b where id>0  and pname like 'ка%' and pname like '%форте%' order by "
         "pname"},
        {"universal search, one 7-letter word (\"мигрень\")", 100,
         [](orv::Reference& r) {
             orv::UniversalSearch(r, "мигрень");
             return r.qMain.Sql();
         },
         "select * from b  where (pname like '%мигрень%' or synonim like '%мигрень%' or ndx1 like "
         "'%мигрень%' or "
         "ndx2 like '%мигрень%' ) order by pname"},
        {"extended search, name + indications (\"форте\", \"головная боль\")", 0,
         [](orv::Reference& r) {
             orv::ExtendedSearch(r, {.name = "форте", .indications = "головная боль"});
             return r.qMain.Sql();
         },
         "select * from b  where pname like '%форте%' and ndx1 like '%головная%' and ndx1 like "
         "'%боль%' and  id>0  "
         "order by pname"},
    };

    constexpr int kRuns = 15;
    std::printf("%d preparations, %d runs each, medians\n", ref.TotalPreparations(), kRuns);
    std::printf("%-64s %9s %9s %7s %6s\n", "query", "ours ms", "LIKE ms", "ratio", "rows");
    bool ok = true;
    for (const auto& c : cases) {
        std::vector<double> ours, plain;
        int rows = 0, baseRows = 0;
        c.run(ref);  // warm-up
        baseline.Run(c.baselineSql);
        for (int i = 0; i < kRuns; ++i) {
            ours.push_back(TimeMs([&] { c.run(ref); }));
            rows = ref.qMain.RecordCount();
            plain.push_back(TimeMs([&] { baseRows = baseline.Run(c.baselineSql); }));
        }
        const double o = Median(ours), p = Median(plain);
        std::printf("%-64s %9.1f %9.1f %7.2f %6d  (built-in LIKE found %d)\n", c.title, o, p, o / p,
                    rows, baseRows);
        const bool met = (c.targetMs == 0 || o <= c.targetMs) && o <= p;
        if (c.targetMs > 0)
            std::printf("    target <= %.0f ms and <= built-in: %s\n", c.targetMs,
                        met ? "met" : "MISSED");
        else
            std::printf("    target <= built-in: %s\n", met ? "met" : "MISSED");
        ok = ok && met;
    }
    std::printf("%s\n", ok ? "all targets met" : "some targets missed");
    return 0;
}
