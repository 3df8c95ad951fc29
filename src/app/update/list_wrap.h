#pragma once
// Remembers the main list (its SQL text and current preparation) around a packet run and puts
// it back afterwards, also when the run fails.
#include <cstdint>
#include <string>

namespace orv::app {

class UpdateHost;

class ListWrap {
  public:
    explicit ListWrap(UpdateHost& host);
    ~ListWrap();  // Restore() unless done
    ListWrap(const ListWrap&) = delete;
    ListWrap& operator=(const ListWrap&) = delete;

    void Restore();

  private:
    UpdateHost& host_;
    std::string sql_;
    std::int64_t id_ = 0;
    bool hadRow_ = false;
    bool restored_ = false;
};

}  // namespace orv::app
