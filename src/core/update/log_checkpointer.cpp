#include "update/log_checkpointer.h"

#include <sqlite3.h>

#include <algorithm>

namespace orv {

std::unique_ptr<LogCheckpointer> LogCheckpointer::Start(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    return std::unique_ptr<LogCheckpointer>(new LogCheckpointer(db));
}

LogCheckpointer::LogCheckpointer(sqlite3* db) : db_(db), thread_([this] { Run(); }) {}

LogCheckpointer::~LogCheckpointer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
    sqlite3_close(db_);
}

std::uint64_t LogCheckpointer::Request() {
    std::uint64_t ticket = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ticket = ++requested_;
    }
    changed_.notify_all();
    return ticket;
}

bool LogCheckpointer::Done(std::uint64_t ticket, std::chrono::microseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, wait, [&] { return done_ >= ticket; });
}

std::chrono::microseconds LogCheckpointer::Longest() {
    std::lock_guard<std::mutex> lock(mutex_);
    return longest_;
}

void LogCheckpointer::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop_ || requested_ > done_; });
        if (requested_ == done_)
            return;  // stopped, with every checkpoint asked for made
        // Requests that arrive during this checkpoint are served by the next one: each
        // covers the commits made before it began.
        const std::uint64_t ticket = requested_;
        lock.unlock();
        const auto start = std::chrono::steady_clock::now();
        // Passive: it never waits for the writer, nor the writer for it. A failure leaves the
        // log to the next checkpoint; only speed depends on it.
        sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
        lock.lock();
        done_ = ticket;
        longest_ = std::max(longest_, took);
        changed_.notify_all();
    }
}

}  // namespace orv
