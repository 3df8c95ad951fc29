#pragma once
// What the lists controller needs of its window.
#include <QString>

namespace orv::app {

class ListsHost {
  public:
    virtual ~ListsHost() = default;
    virtual void ShowStatus(const QString& text) = 0;  // status bar, repainted at once
    virtual void ShowCurrentDescription() = 0;         // gbAllClick
};

}  // namespace orv::app
