#pragma once
// What the history and the favourites need of the main window.
#include <QString>

namespace orv::app {

class BookmarksHost {
  public:
    virtual ~BookmarksHost() = default;
    virtual void ShowStatus(const QString& text) = 0;
    virtual void OpenPreparation(long long id) = 0;  // one preparation in the list, shown
};

}  // namespace orv::app
