#include "cli/serve_workers.h"

#include <system_error>

namespace orv::cli {

GrowingWorkers::GrowingWorkers(size_t minThreads, size_t maxThreads, std::chrono::seconds idleExit)
    : min_(minThreads), max_(maxThreads), idleExit_(idleExit) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < min_; ++i)
        StartThreadLocked();
}

GrowingWorkers::~GrowingWorkers() {
    shutdown();
}

void GrowingWorkers::StartThreadLocked() {
    try {
        std::thread t([this] { Work(); });
        auto id = t.get_id();
        threads_.emplace(id, std::move(t));
    } catch (const std::system_error&) {
        // No more threads from the system: the waiting jobs are taken by those already running.
    }
}

std::vector<std::thread> GrowingWorkers::TakeFinishedLocked() {
    std::vector<std::thread> done;
    for (auto id : finished_) {
        auto it = threads_.find(id);
        if (it != threads_.end()) {
            done.push_back(std::move(it->second));
            threads_.erase(it);
        }
    }
    finished_.clear();
    return done;
}

void GrowingWorkers::enqueue(std::function<void()> job) {
    std::vector<std::thread> done;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
        done = TakeFinishedLocked();
        if (jobs_.size() > idle_ && threads_.size() < max_)
            StartThreadLocked();
    }
    wake_.notify_one();
    for (auto& t : done)
        t.join();  // already past their last use of the pool
}

void GrowingWorkers::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        ++idle_;
        bool woke = wake_.wait_for(lock, idleExit_, [this] { return stopping_ || !jobs_.empty(); });
        --idle_;
        if (jobs_.empty()) {
            if (stopping_ || (!woke && threads_.size() - finished_.size() > min_)) {
                finished_.push_back(std::this_thread::get_id());
                return;
            }
            continue;
        }
        auto job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

void GrowingWorkers::shutdown() {
    std::map<std::thread::id, std::thread> all;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        all.swap(threads_);
        finished_.clear();
    }
    wake_.notify_all();
    for (auto& [id, t] : all) {
        if (t.joinable())
            t.join();
    }
}

size_t GrowingWorkers::Threads() {
    std::lock_guard<std::mutex> lock(mutex_);
    return threads_.size() >= finished_.size() ? threads_.size() - finished_.size() : 0;
}

}  // namespace orv::cli
