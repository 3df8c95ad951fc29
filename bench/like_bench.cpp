// Our Jet `like` against SQLite's built-in LIKE over the same column (lower-case Latin text,
// where both give the same answer). Prints both times and their ratio; target ratio <= 1.0.
// In memory: no folder is written.
//   bench_like [ROWS]   (100,000 unless given)
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "bench_common.h"
#include "db/database.h"

using Clock = std::chrono::steady_clock;

namespace {
double TimeQuery(sqlite3* db, const char* sql, long long& count) {
    auto start = Clock::now();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    sqlite3_step(st);
    count = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
}  // namespace

int main(int argc, char** argv) {
    const int rows = orv::bench::PreparationCounts(argc, argv, 100000).front();
    sqlite3* plain = nullptr;  // built-in LIKE only
    sqlite3_open(":memory:", &plain);
    orv::Database ours(":memory:", orv::Database::Mode::CreateNew);
    std::mt19937 rng(7);
    const char* words[] = {"aspirin", "analgin", "spasm",   "pain",   "head",
                           "fever",   "tablet",  "capsule", "syrup",  "drops",
                           "cardio",  "magnil",  "forte",   "retard", "plus"};
    std::string insert = "create table t (s text); begin;";
    for (int i = 0; i < rows; ++i) {
        std::string s;
        for (int w = 0; w < 12; ++w)
            s += std::string(words[rng() % 15]) + " ";
        insert += "insert into t values ('" + s + "');";
    }
    insert += "commit;";
    sqlite3_exec(plain, insert.c_str(), nullptr, nullptr, nullptr);
    ours.Exec(insert);

    const char* queries[] = {"select count(*) from t where s like '%magnil forte%'",
                             "select count(*) from t where s like 'aspirin%'",
                             "select count(*) from t where s like '%cap_ule%syrup%'"};
    double sumOurs = 0, sumPlain = 0;
    const char* const names[] = {"two_words", "prefix", "underscore_and_two_words"};
    bool same = true;
    for (size_t i = 0; i < 3; ++i) {
        const char* q = queries[i];
        double best[2] = {1e18, 1e18};
        long long n[2] = {0, 0};
        for (int rep = 0; rep < 5; ++rep) {
            best[0] = std::min(best[0], TimeQuery(ours.Handle(), q, n[0]));
            best[1] = std::min(best[1], TimeQuery(plain, q, n[1]));
        }
        same = same && n[0] == n[1];
        const std::string name = names[i];
        orv::bench::Figure(name + "_ours", best[0], "ms", 2, q + 29);
        orv::bench::Figure(name + "_builtin", best[1], "ms", 2);
        orv::bench::Figure(name + "_ratio", best[0] / best[1], "x", 2);
        orv::bench::Figure(name + "_rows", static_cast<double>(n[0]), "rows", 0,
                           n[0] == n[1] ? "both found the same count" : "THE COUNTS DIFFER");
        sumOurs += best[0];
        sumPlain += best[1];
    }
    orv::bench::Figure("total_ratio", sumOurs / sumPlain, "x", 2, "ours / built-in, target <= 1");
    sqlite3_close(plain);
    return same ? 0 : 1;
}
