// Our Jet `like` against SQLite's built-in LIKE over the same column (lower-case Latin text,
// where both give the same answer). Prints both times and their ratio; target ratio <= 1.0.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

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

int main() {
    sqlite3* plain = nullptr;  // built-in LIKE only
    sqlite3_open(":memory:", &plain);
    orv::Database ours(":memory:", orv::Database::Mode::CreateNew);
    std::mt19937 rng(7);
    const char* words[] = {"aspirin", "analgin", "spasm",   "pain",   "head",
                           "fever",   "tablet",  "capsule", "syrup",  "drops",
                           "cardio",  "magnil",  "forte",   "retard", "plus"};
    std::string insert = "create table t (s text); begin;";
    for (int i = 0; i < 100000; ++i) {
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
    std::printf("%-58s %10s %10s %7s\n", "query", "ours ms", "sqlite ms", "ratio");
    double sumOurs = 0, sumPlain = 0;
    for (const char* q : queries) {
        double best[2] = {1e18, 1e18};
        long long n[2] = {0, 0};
        for (int rep = 0; rep < 5; ++rep) {
            best[0] = std::min(best[0], TimeQuery(ours.handle(), q, n[0]));
            best[1] = std::min(best[1], TimeQuery(plain, q, n[1]));
        }
        if (n[0] != n[1])
            std::printf("MISMATCH: %lld vs %lld\n", n[0], n[1]);
        std::printf("%-58s %10.2f %10.2f %7.2f\n", q + 26, best[0], best[1], best[0] / best[1]);
        sumOurs += best[0];
        sumPlain += best[1];
    }
    std::printf("total ratio (ours / built-in): %.2f (target <= 1.00)\n", sumOurs / sumPlain);
    sqlite3_close(plain);
    return 0;
}
