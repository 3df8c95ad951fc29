// "Аналоги по МНН" on a reference of 30,000 preparations (or the count given) of which a third
// share one INN
// (written in several ways). Prints medians of: the list of that third opened by the command
// (target <= 100 ms), the page's "Аналоги" line, and the one-time upgrade that keys an older
// database. The baseline finds the same rows without the key table: it unscrambles and
// keys every row's n13 in the query.
//
//   bench_analogues [PREPARATIONS]   (in a new temporary folder, removed afterwards)
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench_common.h"
#include "db/inn_keys.h"
#include "db/reference.h"
#include "db/schema.h"
#include "search/analogues.h"
#include "util/inn_key.h"
#include "util/text.h"

using Clock = std::chrono::steady_clock;

namespace {

double TimeMs(const std::function<void()>& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string Syllables(std::mt19937& rng, int n) {
    static const char* const kSyl[] = {"ла",  "ми", "то",  "ре",  "фен", "зол", "ин", "ак",
                                       "про", "ци", "дол", "мет", "ор",  "ва",  "ни", "кс"};
    std::string s;
    for (int i = 0; i < n; ++i)
        s += kSyl[rng() % (sizeof kSyl / sizeof kSyl[0])];
    return s;
}

void Generate(const std::string& path, int count) {
    orv::CreateReferenceFile(path);
    orv::Database db(path);
    std::mt19937 rng(20261210);
    const char* const kSpellings[] = {"Ибупрофен", "<b>ибупрофен</b>", "Ибупрофен натрия",
                                      "ИБУПРОФЕН<br>"};
    orv::Statement ins = db.Prepare(
        "insert into b (id, pname, synonim, status, g, n13, n1) values (?, ?, '', 0, "
        "-1, ?, ?)");
    db.Begin();
    for (int i = 1; i <= count; ++i) {
        const std::string inn =
            i % 3 == 0 ? kSpellings[rng() % 4] : "Вещество " + Syllables(rng, 4);
        ins.Reset();
        ins.Bind(1, std::int64_t{i});
        ins.Bind(2, Syllables(rng, 3) + " " + std::to_string(i));
        ins.Bind(3, orv::Blob{orv::ScrambleForStorage(inn)});
        ins.Bind(4, orv::Blob{orv::ScrambleForStorage(std::string(2000, 'x'))});
        ins.Step();
    }
    db.Commit();
}

// The same rows without the key table: every n13 unscrambled and keyed in the query.
void InnKeyFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const auto* bytes = static_cast<const char*>(sqlite3_value_blob(argv[0]));
    const std::string stored(bytes ? bytes : "", static_cast<size_t>(sqlite3_value_bytes(argv[0])));
    const std::string key = orv::InnKey(orv::UnscrambleFromStorage(stored));
    sqlite3_result_text(ctx, key.c_str(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

}  // namespace

int main(int argc, char** argv) {
    using orv::bench::Figure;
    const int count = orv::bench::PreparationCounts(argc, argv, 30000).front();
    const int sameInn = count / 3;
    orv::bench::WorkDir dir("analogues");
    Generate(dir.file("source.bin"), count);

    orv::Reference ref(dir.str());
    // An older database: the key table is made and filled from the rows.
    ref.Db().Exec("drop table inn");
    const double upgrade = TimeMs([&] { orv::EnsureInnKeys(ref.Db()); });

    const int target = 3;  // "Ибупрофен" or one of its spellings
    std::vector<double> ours, page, baseline;
    int found = 0, baselineFound = 0;
    for (int run = 0; run < 7; ++run) {
        ref.qMain.SetSql(ref.InitialListSql());
        ref.qMain.Open();
        ref.qMain.Locate("id", std::int64_t{target});
        ours.push_back(TimeMs([&] {
            orv::FilterTableAnalogues(ref, ref.qMain);
            found = ref.qMain.RecordCount();
        }));
        page.push_back(TimeMs([&] { orv::AnaloguesOf(ref.Db(), target, "pname", 50); }));
        baseline.push_back(TimeMs([&] {
            sqlite3_create_function(ref.Db().Handle(), "inn_key_of", 1, SQLITE_UTF8, nullptr,
                                    &InnKeyFunction, nullptr, nullptr);
            orv::DataSet list(ref.Db());
            list.SetKeyed({"id", "pname", "synonim", "g", "status"}, "b", "id");
            list.SetSql("select * from b where inn_key_of(n13) = 'ибупрофен' order by pname");
            list.Open();
            baselineFound = list.RecordCount();
        }));
    }
    const std::string label = orv::bench::CountLabel(count);
    Figure(label + "_load_average", orv::bench::LoadAverage(), "", 2,
           "other work on the machine when the figures were taken");
    Figure(label + "_analogues_rows", found, "rows", 0);
    Figure(label + "_baseline_rows", baselineFound, "rows", 0);
    Figure(label + "_analogues_list", Median(ours), "ms", 1, "target <= 100");
    Figure(label + "_analogues_page_line", Median(page), "ms", 2);
    Figure(label + "_baseline_list", Median(baseline), "ms", 1);
    Figure(label + "_ratio_to_baseline", Median(ours) / Median(baseline), "x", 3);
    Figure(label + "_upgrade", upgrade, "ms", 0, "keys every row of an older file");
    return found == sameInn && baselineFound == sameInn ? 0 : 1;
}
