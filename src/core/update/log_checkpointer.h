#pragma once
// Copies a database's write-ahead log back into the file on a thread of its own, through a
// connection of its own: the disk syncs of a checkpoint then never hold up the thread that
// writes. The writer asks for a checkpoint after its commits and, when the log should start
// over, waits (a bounded while at a time) for one that began after its last commit.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

namespace orv {

class LogCheckpointer {
  public:
    // nullptr when the database cannot be opened a second time: the caller checkpoints itself.
    static std::unique_ptr<LogCheckpointer> Start(const std::string& path);
    ~LogCheckpointer();  // makes the checkpoints asked for, then stops
    LogCheckpointer(const LogCheckpointer&) = delete;
    LogCheckpointer& operator=(const LogCheckpointer&) = delete;

    // Asks for a checkpoint of everything committed so far; returns its ticket.
    std::uint64_t Request();
    // Whether the checkpoint of `ticket` has run, waiting up to `wait` for it.
    bool Done(std::uint64_t ticket, std::chrono::microseconds wait);
    std::chrono::microseconds Longest();

  private:
    explicit LogCheckpointer(sqlite3* db);
    void Run();

    sqlite3* db_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t requested_ = 0;
    std::uint64_t done_ = 0;
    bool stop_ = false;
    std::chrono::microseconds longest_{0};
    std::thread thread_;  // last: it starts once the members above exist
};

}  // namespace orv
