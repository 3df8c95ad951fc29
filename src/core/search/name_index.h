#pragma once
// The name matcher over the reference's preparations, built when it is first needed and
// built again once table b has changed (a packet, another program's update), so that its
// candidates are always rows that exist.
//
//   NameIndex index;
//   const NameMatcher& m = index.Matcher(ref);   // builds or reuses
//   for (const NameCandidate& c : m.Suggest(text)) ... m.Id(c.preparation), m.Name(...)
#include <cstdint>

#include "search/name_matcher.h"

namespace orv {

class Reference;

class NameIndex {
  public:
    const NameMatcher& Matcher(Reference& ref);
    // Forgets the built matcher: the next Matcher() builds afresh.
    void Invalidate() { built_ = false; }
    // For an owner that calls Invalidate() after its own writes to table b: then only commits
    // of other connections are watched, and this connection's other writes (the settings, the
    // history) cost no rebuild.
    void WatchOtherConnectionsOnly(bool on) { otherConnectionsOnly_ = on; }

    // Milliseconds the last build took, for the benchmark and the log.
    double LastBuildMs() const { return lastBuildMs_; }

  private:
    NameMatcher matcher_;
    bool built_ = false;
    const void* database_ = nullptr;
    std::int64_t changes_ = -1;
    std::int64_t dataVersion_ = -1;
    double lastBuildMs_ = 0;
    bool otherConnectionsOnly_ = false;
};

// Every preparation of table b, in the list's order (by name), into a fresh matcher.
void LoadNameMatcher(Reference& ref, NameMatcher& matcher);

}  // namespace orv
