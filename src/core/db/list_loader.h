#pragma once
// Reads the rows of a list statement on a connection and a thread of its own: the first
// rows come back at once, the rest follows in batches in the background. A list of any size
// then opens in the time of its first page, and the last batch gives its true row count.
//
// The rows are those of one read of the file (one snapshot), as if read in one go. Nothing is
// held open once the statement has run to its end, so writers on other connections never wait
// on it nor keep a growing journal for it.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "db/database.h"
#include "util/value.h"

namespace orv {

class ListLoader {
  public:
    using Row = std::vector<Value>;

    explicit ListLoader(std::string path) : path_(std::move(path)) {}
    ~ListLoader();
    ListLoader(const ListLoader&) = delete;
    ListLoader& operator=(const ListLoader&) = delete;

    // Stops any earlier load, starts `sql` and waits for its first `firstRows` rows or its end.
    // The statement's own error (or the file's) is thrown here, and nothing keeps running.
    void Start(const std::string& sql, size_t firstRows, size_t batchRows);
    // Stops a running load (it is interrupted) and waits for its thread.
    void Stop();

    const std::vector<std::string>& Columns() const { return columns_; }

    // Moves the rows read so far to the end of `into`. With `wait`, first waits until there is
    // at least one more batch or the end. Returns true once every row has been moved; an error
    // of the statement past its first rows is thrown here, once, and ends the load.
    bool Take(std::vector<Row>& into, bool wait);

  private:
    void Run(const std::string& sql, size_t firstRows, size_t batchRows);
    void Publish(std::vector<Row>& rows, bool done, std::string error = {});

    std::string path_;
    std::unique_ptr<Database> db_;  // used by the thread while it runs, by Start otherwise
    std::thread thread_;
    std::vector<std::string> columns_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Row> ready_;
    bool started_ = false;  // the column names are set (or the statement failed)
    bool done_ = true;
    bool stopping_ = false;
    std::string error_;
};

}  // namespace orv
