#pragma once
// What the description needs of the main window and the settings.
#include <QString>
#include <vector>

#include "util/stored_forms.h"

namespace orv::app {

class DescriptionHost {
  public:
    virtual ~DescriptionHost() = default;
    virtual void ShowStatus(const QString& text) = 0;
    virtual QString FilterText() const = 0;                // the filter box, for highlighting
    virtual std::vector<CheckEntry> Sections() const = 0;  // the settings' section list
    virtual void OpenPreparation(long long id) = 0;        // a link on the page was clicked
    virtual void PageShown(long long id) = 0;              // a preparation's description shows
    virtual void Printed(long long id) = 0;                // a preparation went to the printer
};

}  // namespace orv::app
