#pragma once
// What the extended search needs of the main window.
#include <QString>

namespace orv {
class Reference;
}

namespace orv::app {

class SearchHost {
  public:
    virtual ~SearchHost() = default;
    virtual Reference& Ref() = 0;                      // qMain and NameColumn
    virtual void ShowStatus(const QString& text) = 0;  // status bar, repainted at once
    virtual void ListReopened() = 0;                   // qMain has a new result: views follow
    virtual void SetHighlightSearchWords(bool on) = 0;
    virtual void ShowCurrentDescription() = 0;  // gbAllClick: the description of the current row
};

// The four criteria as typed; memo lines are separated by "\n".
struct SearchCriteria {
    QString name;
    QString synonyms;
    QString indications;
    QString action;
};

}  // namespace orv::app
