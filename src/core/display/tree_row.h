#pragma once
// The preparation behind a node of the group tree.
#include <string>

#include "db/reference.h"

namespace orv {

// The data set whose current row is the tree node's preparation: qMain when the list holds it
// (qMain then stands on it), otherwise qWork opened on that id and located by name. Null for a
// group node (negative id) or a preparation that is gone.
DataSet* LocateTreePreparation(Reference& ref, std::int64_t id, const std::string& name,
                               bool& fromWork);

}  // namespace orv
