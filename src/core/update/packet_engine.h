#pragma once
// The packet engine: checks a packet file and applies it to tables b, i and g, then records
// it in `packets`. A window (or the command line) drives the run tick by tick from its timer:
//
//   auto run = ApplyPacket(ref, path);        // throws with the user's message; nothing changed
//   while (run->Running()) run->Tick();       // one timer tick each; shows run->Progress()
//   run->Stop();                              // after the user confirmed kStopQuestion
//
// Each tick applies as many steps as fit in its time budget and commits them as one
// transaction. The caller keeps its own duties around a run: the hourglass, hiding and
// detaching the list grid, pausing the record counter, and wrapping the list (select * from b
// before, its own list restored after). A run must end (or be destroyed) before its Reference.
// During a run the database keeps a write-ahead log (source.bin-wal) that a thread of the
// run copies back into the file (or, when it cannot, ticks of their own).
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/reference.h"
#include "update/packet_file.h"
#include "util/error.h"

namespace orv {

// One item of the packet selector: "id (date time)".
struct PacketListItem {
    int id = 0;
    double dt = 0;
    std::string text;
};

// What the rest of the program knows about applied packets.
struct UpdInfo {
    std::vector<PacketListItem> packets;  // ascending id
    int lastInstalled = 0;                // id of the last row, 0 when none
};

// Runs the schema upgrade if needed, reopens qUpd on the packets in ascending id and reads it.
UpdInfo InitUpd(Reference& ref);
std::string PacketListItemText(int id, double dt);

// A packet refused by the order or the duplicate check; carries the InitUpd that followed.
class PacketRefused : public Error {
  public:
    PacketRefused(const std::string& message, UpdInfo info)
        : Error(message), info_(std::move(info)) {}
    const UpdInfo& Info() const { return info_; }

  private:
    UpdInfo info_;
};

struct PacketProgress {
    int packet = 0;
    int percent = 0;           // of the preparations section, as the window shows it
    std::string caption;       // window caption: "Подгрузка пакета №N"
    std::string progressText;  // group box caption: "Готово P%"
    size_t stepsDone = 0;      // steps taken (one line of each section per step)
    size_t stepsTotal = 0;     // lines of the longest section
};

class PacketRun {
  public:
    enum class State { Running, Completed, Stopped, Failed };

    ~PacketRun();
    PacketRun(const PacketRun&) = delete;
    PacketRun& operator=(const PacketRun&) = delete;

    // Applies steps until the budget is spent (at least one step) or `maxSteps` were taken,
    // and commits them; the tick that applies the last line records the packet, the next one
    // completes the run (InitUpd, the list reopened). A failing line ends the run (rows written
    // before it stay, the packet is not recorded) and its error is thrown; FailedLine() then tells
    // which line it was.
    const PacketProgress& Tick(std::chrono::microseconds budget = std::chrono::milliseconds(15),
                               size_t maxSteps = static_cast<size_t>(-1));
    // The confirmed stop: the packet is not recorded; rows written stay.
    void Stop();

    State CurrentState() const { return state_; }
    bool Running() const { return state_ == State::Running; }
    int Number() const { return packet_.number; }
    double AppliedAt() const { return appliedAt_; }
    const PacketProgress& Progress() const { return progress_; }

    // After the run ended: the InitUpd data and the number of preparations in the table.
    const UpdInfo& Info() const { return info_; }
    int TotalPreparations() const { return totalPreparations_; }
    // After a failure: "препараты"/"производители"/"группы" and the 1-based line number.
    const std::string& FailedSection() const { return failedSection_; }
    size_t FailedLine() const { return failedLine_; }
    // Lines committed to the tables so far (they stay after a failure or a stop).
    size_t RowsWritten() const { return rowsWritten_; }
    // The longest tick that applied lines, including its commit; the longest log checkpoint.
    std::chrono::microseconds LongestTick() const { return longestTick_; }
    std::chrono::microseconds LongestCheckpoint() const { return longestCheckpoint_; }

  private:
    friend std::unique_ptr<PacketRun> ApplyPacket(Reference& ref, const std::string& path);
    PacketRun(Reference& ref, PacketText packet, double appliedAt);
    bool Step();  // one step; true when the run is complete
    void Complete();
    void EndWithoutRecord();
    void ReleaseText();
    static int WalHook(void* self, struct sqlite3* db, const char* name, int frames);
    void RestoreCheckpoints();  // and the cache and memory map of the database
    std::optional<std::int64_t> PragmaValue(const char* name);
    void AskForCheckpoint();  // after a commit, when the log has grown enough
    static constexpr int kCheckpointBytes = 1 << 20;
    // The log is let grow this far while checkpoints run beside the writes; then the run
    // waits, a few milliseconds a tick, until it can start over.
    static constexpr int kRestartBytes = 16 << 20;
    static constexpr std::chrono::microseconds kRestartWait = std::chrono::milliseconds(5);

    struct Section {
        SectionLines lines;
        bool finished = false;
    };

    Reference& ref_;
    PacketText packet_;
    double appliedAt_;
    std::unique_ptr<class LineApplier> applier_;
    Section sections_[3];
    int finishedSections_ = 0;
    State state_ = State::Running;
    bool recorded_ = false;  // every line applied and the packet recorded; completion next tick
    PacketProgress progress_;
    std::string savedSql_;
    Value savedId_;
    UpdInfo info_;
    int totalPreparations_ = 0;
    std::string failedSection_;
    size_t failedLine_ = 0;
    size_t rowsWritten_ = 0;
    size_t pendingRows_ = 0;  // applied in the open transaction
    std::chrono::microseconds longestTick_{0};
    std::chrono::microseconds longestCheckpoint_{0};
    int walFrames_ = 0;
    int checkpointFrames_ = 256;
    int restartFrames_ = 512;
    int requestedFrames_ = 0;          // the log's length at the last checkpoint asked for
    std::uint64_t restartTicket_ = 0;  // the checkpoint awaited before the next commit
    std::unique_ptr<class LogCheckpointer> checkpointer_;  // none: the ticks checkpoint
    bool hooked_ = false;
    std::optional<std::int64_t> savedCacheSize_;
    std::optional<std::int64_t> savedMmapSize_;
};

// Checks the packet file and prepares its run; on failure throws (PacketRefused for the order
// and duplicate checks) and no row has changed.
std::unique_ptr<PacketRun> ApplyPacket(Reference& ref, const std::string& path);

}  // namespace orv
