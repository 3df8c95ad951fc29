#include "update/packet_engine.h"

#include <sqlite3.h>

#include <algorithm>

#include "db/inn_keys.h"
#include "db/schema.h"
#include "db/search_index.h"
#include "update/day_number.h"
#include "update/line_applier.h"
#include "update/log_checkpointer.h"
#include "util/log.h"
#include "util/text.h"

namespace orv {

std::string PacketListItemText(int id, double dt) {
    return std::to_string(id) + " (" + FormatDayNumber(dt) + ")";
}

UpdInfo InitUpd(Reference& ref) {
    CreateTableIfNeed(ref.Db());
    EnsureInnKeys(ref.Db());
    EnsureSearchIndex(ref.Db(), ref.NameColumn());
    // In ascending id, as the last installed number is the id of the last row.
    ref.qUpd.SetSql("select * from packets order by id");
    ref.qUpd.Open();
    UpdInfo info;
    for (ref.qUpd.First(); !ref.qUpd.Eof(); ref.qUpd.Next()) {
        int id = static_cast<int>(ref.qUpd.AsInteger("id"));
        double dt = ref.qUpd.AsDate("dt");
        info.packets.push_back({id, dt, PacketListItemText(id, dt)});
        info.lastInstalled = id;
    }
    return info;
}

namespace {
std::int64_t Count(Database& db, const std::string& sql) {
    Statement st = db.Prepare(sql);
    st.Step();
    return st.ColumnInt(0);
}
}  // namespace

std::unique_ptr<PacketRun> ApplyPacket(Reference& ref, const std::string& path) {
    const double appliedAt = DayNumberNow();  // one time for every row of the packet
    // The lines stay views into the one text: a copy per line would double the memory.
    PacketText packet = ParsePacketView(ReadPacketText(path));
    const int n = packet.number;

    // An older database learns of `packets` before the checks read it.
    CreateTableIfNeed(ref.Db());
    EnsureInnKeys(ref.Db());
    EnsureSearchIndex(ref.Db(), ref.NameColumn());
    if (Count(ref.Db(), "select count(*) from packets where id<" + std::to_string(n)) < n - 1) {
        throw PacketRefused("Установка невозможна, не все предыдущие пакеты установлены",
                            InitUpd(ref));
    }
    if (Count(ref.Db(), "select count(*) from packets where id=" + std::to_string(n)) > 0) {
        throw PacketRefused("Пакет №" + std::to_string(n) + " уже установлен", InitUpd(ref));
    }
    return std::unique_ptr<PacketRun>(new PacketRun(ref, std::move(packet), appliedAt));
}

PacketRun::PacketRun(Reference& ref, PacketText packet, double appliedAt)
    : ref_(ref), packet_(std::move(packet)), appliedAt_(appliedAt) {
    // A commit per tick must not wait for the disk: a write-ahead log without a sync on every
    // commit keeps the file consistent and lets a tick finish in its budget. Only speed
    // depends on it, so a database that cannot switch just stays as it is.
    try {
        ref_.Db().Exec("pragma journal_mode=WAL");
        ref_.Db().Exec("pragma synchronous=NORMAL");
    } catch (const Error&) {
    }
    {
        Statement st = ref_.Db().Prepare("pragma page_size");
        if (st.Step() && st.ColumnInt(0) > 0) {
            checkpointFrames_ = std::max(16, kCheckpointBytes / static_cast<int>(st.ColumnInt(0)));
            restartFrames_ =
                std::max(checkpointFrames_, kRestartBytes / static_cast<int>(st.ColumnInt(0)));
        }
    }
    applier_ =
        std::make_unique<LineApplier>(ref_.Db(), ref_.NameColumn(), packet_.number, appliedAt_);
    {
        Statement st = ref_.Db().Prepare("pragma journal_mode");
        if (st.Step() && st.ColumnText(0) == "wal") {
            try {
                checkpointer_ = LogCheckpointer::Start(ref_.Db().Path());
            } catch (const std::exception&) {
            }
        }
    }
    savedSql_ = ref_.qMain.Sql();
    if (ref_.qMain.Active() && !ref_.qMain.IsEmpty())
        savedId_ = ref_.qMain.Field("id");
    for (int s = 0; s < 3; ++s)
        sections_[s].lines = SectionLines(packet_.Section(s));
    progress_.packet = packet_.number;
    progress_.caption = "Подгрузка пакета №" + std::to_string(packet_.number);
    progress_.progressText = "Готово 0%";
    for (const auto& s : sections_)
        progress_.stepsTotal = std::max(progress_.stepsTotal, s.lines.Count());
    // The run holds the whole packet text; what SQLite keeps beside it must stay small and
    // fixed. Pages of the file read through the memory map count as the process's memory too
    // (and a large packet touches every page), so they are read into the page cache instead:
    // its 32 MB keep the index pages that every line of a large packet writes to.
    savedCacheSize_ = PragmaValue("cache_size");
    savedMmapSize_ = PragmaValue("mmap_size");
    try {
        ref_.Db().Exec("pragma cache_size=-32768");
        ref_.Db().Exec("pragma mmap_size=0");
    } catch (const Error&) {
        LogCaught("update", "кэш базы на время пакета");
    }
    // Copying the log into the database syncs the disk: the run's own thread does it (or, when
    // it could not start, a tick of its own) instead of lengthening whichever commit reaches the
    // threshold. Set last: nothing after it throws.
    // The hook replaces SQLite's own automatic checkpoint and holds `this`: RestoreCheckpoints
    // (at the end of the run, and in the destructor whatever the end) takes it off by setting
    // the automatic checkpoint again, which puts SQLite's hook back in its place, so the
    // connection never calls into a run that is gone.
    sqlite3_wal_hook(ref_.Db().Handle(), &PacketRun::WalHook, this);
    hooked_ = true;
}

PacketRun::~PacketRun() {
    RestoreCheckpoints();
}

int PacketRun::WalHook(void* self, sqlite3*, const char*, int frames) {
    static_cast<PacketRun*>(self)->walFrames_ = frames;
    return SQLITE_OK;
}

void PacketRun::RestoreCheckpoints() {
    if (checkpointer_) {
        longestCheckpoint_ = std::max(longestCheckpoint_, checkpointer_->Longest());
        checkpointer_.reset();
    }
    if (hooked_) {
        sqlite3_wal_autocheckpoint(ref_.Db().Handle(), 1000);  // SQLite's default
        hooked_ = false;
    }
    if (savedCacheSize_ || savedMmapSize_) {
        // The searches after the run read through the map and the larger cache again.
        sqlite3_exec(ref_.Db().Handle(),
                     ("pragma cache_size=" + std::to_string(savedCacheSize_.value_or(-16384)) +
                      "; pragma mmap_size=" + std::to_string(savedMmapSize_.value_or(0)))
                         .c_str(),
                     nullptr, nullptr, nullptr);
        savedCacheSize_.reset();
        savedMmapSize_.reset();
    }
}

std::optional<std::int64_t> PacketRun::PragmaValue(const char* name) {
    try {
        Statement st = ref_.Db().Prepare(std::string("pragma ") + name);
        if (st.Step())
            return st.ColumnInt(0);
    } catch (const Error&) {
    }
    return std::nullopt;
}

bool PacketRun::Step() {
    static const char* const kNames[3] = {"препараты", "производители", "группы"};
    for (int s = 0; s < 3; ++s) {
        Section& sec = sections_[s];
        if (sec.finished)
            continue;
        const std::string_view line = sec.lines.Current();
        if (line.empty())
            continue;
        try {
            switch (s) {
                case 0:
                    applier_->ApplyBaseLine(line);
                    break;
                case 1:
                    applier_->ApplyIzgLine(line);
                    break;
                default:
                    applier_->ApplyGroupLine(line);
                    break;
            }
            ++pendingRows_;
        } catch (const Error&) {
            failedSection_ = kNames[s];
            failedLine_ = sec.lines.Index() + 1;
            throw;
        }
    }
    const size_t count = sections_[0].lines.Count();
    progress_.percent = static_cast<int>(sections_[0].lines.Index() * 100 / count);
    progress_.progressText = "Готово " + std::to_string(progress_.percent) + "%";
    ++progress_.stepsDone;
    for (Section& sec : sections_) {
        if (!sec.lines.AtLast()) {
            sec.lines.Advance();
        } else if (!sec.finished) {
            sec.finished = true;
            ++finishedSections_;
        }
    }
    return finishedSections_ == 3;
}

const PacketProgress& PacketRun::Tick(std::chrono::microseconds budget, size_t maxSteps) {
    if (state_ != State::Running)
        return progress_;
    const auto start = std::chrono::steady_clock::now();
    if (recorded_) {
        // The list reload of the completion gets a tick of its own.
        Complete();
        return progress_;
    }
    if (restartTicket_ != 0) {
        // No commit until the checkpoint asked for after the last one has copied the whole
        // log: the next transaction then starts the log over instead of lengthening it.
        if (!checkpointer_->Done(restartTicket_, kRestartWait))
            return progress_;
        restartTicket_ = 0;
        walFrames_ = requestedFrames_ = 0;
    } else if (!checkpointer_ && walFrames_ >= checkpointFrames_) {
        walFrames_ = 0;
        sqlite3_wal_checkpoint_v2(ref_.Db().Handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr,
                                  nullptr);
        longestCheckpoint_ =
            std::max(longestCheckpoint_, std::chrono::duration_cast<std::chrono::microseconds>(
                                             std::chrono::steady_clock::now() - start));
        return progress_;
    }
    bool complete = false;
    {
        Transaction tx(ref_.Db());
        try {
            size_t steps = 0;
            do {
                complete = Step();
                ++steps;
            } while (!complete && steps < maxSteps &&
                     std::chrono::steady_clock::now() - start < budget);
            if (complete) {
                // Recorded in the same transaction as the last lines: all of them or none.
                ref_.Db().Exec("insert into packets (id, dt) values (" +
                               std::to_string(packet_.number) + ", " +
                               DayNumberSqlText(appliedAt_) + ")");
            }
        } catch (const Error&) {
            // The failed line wrote nothing; the lines before it stay written (unless the
            // database rolled the transaction back itself, which leaves nothing to commit).
            try {
                tx.Commit();
                rowsWritten_ += pendingRows_;
            } catch (const Error&) {
            }
            pendingRows_ = 0;
            state_ = State::Failed;
            EndWithoutRecord();
            throw;
        }
        tx.Commit();
        rowsWritten_ += pendingRows_;
        pendingRows_ = 0;
    }
    recorded_ = complete;
    if (checkpointer_ && !complete)
        AskForCheckpoint();
    longestTick_ = std::max(longestTick_, std::chrono::duration_cast<std::chrono::microseconds>(
                                              std::chrono::steady_clock::now() - start));
    return progress_;
}

void PacketRun::AskForCheckpoint() {
    if (walFrames_ < requestedFrames_)
        requestedFrames_ = 0;  // the log started over by itself
    if (walFrames_ >= restartFrames_) {
        restartTicket_ = checkpointer_->Request();
    } else if (walFrames_ - requestedFrames_ >= checkpointFrames_) {
        checkpointer_->Request();
        requestedFrames_ = walFrames_;
    }
}

void PacketRun::Complete() {
    state_ = State::Completed;
    applier_.reset();
    RestoreCheckpoints();
    ReleaseText();
    info_ = InitUpd(ref_);
    ref_.qMain.SetSql(ref_.InitialListSql());
    ref_.qMain.Open();
    if (!IsNull(savedId_))
        ref_.qMain.Locate("id", savedId_);
    totalPreparations_ = ref_.qMain.RecordCount();
}

void PacketRun::Stop() {
    if (state_ != State::Running)
        return;
    if (recorded_) {
        Complete();
        return;
    }
    state_ = State::Stopped;
    EndWithoutRecord();
}

void PacketRun::ReleaseText() {
    const int number = packet_.number;
    packet_ = {};
    packet_.number = number;
    for (Section& sec : sections_)
        sec.lines = SectionLines();
}

void PacketRun::EndWithoutRecord() {
    applier_.reset();
    RestoreCheckpoints();
    ReleaseText();
    info_ = InitUpd(ref_);
    ref_.qMain.SetSql(savedSql_);
    ref_.qMain.Open();
    if (!IsNull(savedId_))
        ref_.qMain.Locate("id", savedId_);
    // The whole table, whatever list the caller restores: the counter compares against it.
    totalPreparations_ = static_cast<int>(Count(ref_.Db(), "select count(*) from b"));
}

}  // namespace orv
