#include "db/list_loader.h"

#include <sqlite3.h>

#include <iterator>

#include "util/error.h"

namespace orv {

ListLoader::~ListLoader() {
    Stop();
}

void ListLoader::Stop() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    sqlite3_interrupt(db_->Handle());
    thread_.join();
    std::lock_guard lock(mutex_);
    ready_.clear();
    done_ = true;
}

void ListLoader::Start(const std::string& sql, size_t firstRows, size_t batchRows) {
    Stop();
    if (!db_)
        db_ = std::make_unique<Database>(path_);
    {
        std::lock_guard lock(mutex_);
        ready_.clear();
        columns_.clear();
        started_ = false;
        done_ = false;
        stopping_ = false;
        error_.clear();
    }
    thread_ = std::thread(&ListLoader::Run, this, sql, firstRows, batchRows);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_ || ready_.size() >= firstRows; });
    if (!started_ || (done_ && !error_.empty())) {
        const std::string error = error_;
        lock.unlock();
        thread_.join();
        ready_.clear();
        throw Error(error);
    }
}

void ListLoader::Publish(std::vector<Row>& rows, bool done, std::string error) {
    {
        std::lock_guard lock(mutex_);
        ready_.insert(ready_.end(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
        done_ = done;
        error_ = std::move(error);
    }
    rows.clear();
    changed_.notify_all();
}

void ListLoader::Run(const std::string& sql, size_t firstRows, size_t batchRows) {
    std::vector<Row> batch;
    try {
        Statement st = db_->Prepare(sql);
        {
            std::lock_guard lock(mutex_);
            for (int i = 0; i < st.ColumnCount(); ++i)
                columns_.push_back(st.ColumnName(i));
            started_ = true;
        }
        const int n = st.ColumnCount();
        size_t limit = firstRows;
        while (st.Step()) {
            Row row;
            row.reserve(static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                row.push_back(st.Column(i));
            batch.push_back(std::move(row));
            if (batch.size() >= limit) {
                Publish(batch, false);
                limit = batchRows;
                std::lock_guard lock(mutex_);
                if (stopping_)
                    return;
            }
        }
        Publish(batch, true);
    } catch (const std::exception& e) {
        batch.clear();
        bool stopping;
        {
            std::lock_guard lock(mutex_);
            stopping = stopping_;
        }
        // A stopped load is not read any more: its interruption is no error.
        if (!stopping)
            Publish(batch, true, e.what()[0] ? e.what() : "Ошибка чтения списка");
    }
}

bool ListLoader::Take(std::vector<Row>& into, bool wait) {
    std::unique_lock lock(mutex_);
    if (wait)
        changed_.wait(lock, [&] { return done_ || !ready_.empty(); });
    into.insert(into.end(), std::make_move_iterator(ready_.begin()),
                std::make_move_iterator(ready_.end()));
    ready_.clear();
    if (!done_)
        return false;
    if (!error_.empty()) {
        std::string error;
        error.swap(error_);
        lock.unlock();
        throw Error(error);
    }
    if (thread_.joinable()) {
        lock.unlock();
        thread_.join();
    }
    return true;
}

}  // namespace orv
