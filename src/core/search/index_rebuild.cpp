#include "search/index_rebuild.h"

#include <chrono>

#include "db/database.h"
#include "db/schema.h"
#include "db/search_index.h"
#include "util/cp1251.h"
#include "util/error.h"
#include "util/log.h"
#include "util/text.h"

namespace orv {
namespace {

using Clock = std::chrono::steady_clock;
// Rows are committed in small batches instead of one by one (a commit per row costs a
// disk sync); an error commits what was done first, so finished rows always stay written.
constexpr auto kCommitEvery = std::chrono::milliseconds(250);

std::string IndexOf(const Value& stored) {
    return IndexWords(StripMarkup(UnscrambleFromStorage(ValueToText(stored))));  // words only
}

}  // namespace

int PercentDone(int done, int total) {
    if (total <= 0)
        return 0;
    const long long scaled = static_cast<long long>(done) * 100;
    long long q = scaled / total;
    const long long twice = (scaled % total) * 2;
    if (twice > total || (twice == total && q % 2 != 0))
        ++q;
    return static_cast<int>(q);
}

void RebuildIndexTable(DataSet& list, const std::string& databasePath, const StatusFn& status) {
    auto show = [&status](const std::string& text) {
        if (status)
            status(text);
    };
    show("Построение таблиц индексов...");

    Database db(databasePath);
    bool hasNdx = false;
    for (const auto& t : db.UserTables())
        hasNdx = hasNdx || LowerText(t) == "ndx";
    if (!hasNdx)
        throw Error("В базе данных нет таблицы индексов ndx");
    const int total = list.RecordCount();
    // The lookup by id runs once per preparation; an older file may lack the index on it.
    if (total > 0)
        db.Exec("create index if not exists ndx_id on ndx (id)");

    // The texts are read through this connection too: a read on the list's connection would
    // wait for the lock this one holds while it writes.
    Statement texts = db.Prepare("select n5, n2 from b where id = ?");
    Statement find = db.Prepare("select rowid from ndx where id = ? limit 1");
    Statement update = db.Prepare("update ndx set n1 = ?, n2 = ? where rowid = ?");
    Statement insert = db.Prepare("insert into ndx (id, n1, n2) values (?, ?, ?)");
    Statement updateB = db.Prepare("update b set ndx1 = ?, ndx2 = ? where id = ?");

    int done = 0;
    list.First();
    db.Begin();
    auto batchStart = Clock::now();
    try {
        while (!list.Eof()) {
            const std::int64_t id = list.AsInteger("id");
            texts.Reset();
            texts.Bind(1, id);
            std::string n1, n2;  // a row gone meanwhile reads as empty texts
            if (texts.Step()) {
                n1 = IndexOf(texts.Column(0));
                n2 = IndexOf(texts.Column(1));
            }
            texts.Reset();

            find.Reset();
            find.Bind(1, id);
            if (find.Step()) {
                const Value rowid = find.Column(0);
                find.Reset();
                update.Reset();
                update.Bind(1, n1);
                update.Bind(2, n2);
                update.Bind(3, rowid);
                update.Step();
            } else {
                find.Reset();
                insert.Reset();
                insert.Bind(1, id);
                insert.Bind(2, n1);
                insert.Bind(3, n2);
                insert.Step();
            }
            updateB.Reset();
            updateB.Bind(1, n1);
            updateB.Bind(2, n2);
            updateB.Bind(3, id);
            updateB.Step();

            ++done;
            show(std::to_string(PercentDone(done, total)) + "%");
            if (Clock::now() - batchStart >= kCommitEvery) {
                db.Commit();
                db.Begin();
                batchStart = Clock::now();
            }
            list.Next();
        }
        db.Commit();
        // The triggers kept the word index current row by row; filling it anew also mends a
        // file whose index was lost or damaged.
        RebuildSearchIndex(db, DetectNameColumn(db));
    } catch (...) {
        try {
            db.Commit();
        } catch (...) {
            LogCaught("index", "сохранение перестроенной части индекса");
            try {
                db.Rollback();
            } catch (...) {
                LogCaught("index", "откат перестройки индекса");
            }
        }
        throw;
    }
    show("");
}

}  // namespace orv
