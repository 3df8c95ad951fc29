#pragma once
// The workers of `orvanta-cli serve`. cpp-httplib gives each connection one worker for as long
// as the connection lives, so a fixed pool is held by idle keep-alive clients and everybody
// else waits. This pool grows while connections wait (up to a cap that bounds memory) and lets
// threads that stay idle go again.
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace orv::cli {

class GrowingWorkers : public httplib::TaskQueue {
  public:
    GrowingWorkers(size_t minThreads, size_t maxThreads, std::chrono::seconds idleExit);
    ~GrowingWorkers() override;

    void enqueue(std::function<void()> job) override;
    void shutdown() override;

    size_t Threads();  // live now

  private:
    void Work();
    void StartThreadLocked();
    std::vector<std::thread> TakeFinishedLocked();

    const size_t min_;
    const size_t max_;
    const std::chrono::seconds idleExit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::map<std::thread::id, std::thread> threads_;
    std::vector<std::thread::id> finished_;  // retired, to be joined
    size_t idle_ = 0;
    bool stopping_ = false;
};

}  // namespace orv::cli
