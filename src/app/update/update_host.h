#pragma once
// What the packet windows need of the main window.
#include <QString>
#include <QStringList>

class QWidget;

namespace orv {
class Reference;
}

namespace orv::app {

class UpdateHost {
  public:
    virtual ~UpdateHost() = default;
    virtual Reference& Ref() = 0;
    virtual QWidget* Window() = 0;
    virtual void ShowStatus(const QString& text) = 0;
    // The list grid: hidden and detached while a packet runs, so changed rows are not repainted
    // one by one.
    virtual void SetListAttached(bool attached) = 0;
    // The record counter stops querying the list while rows change.
    virtual void SetRecordCounterPaused(bool paused) = 0;
    virtual void ListReopened() = 0;            // qMain has a new result: views follow
    virtual void RowsChanged() = 0;             // a packet run wrote table b
    virtual void ShowCurrentDescription() = 0;  // the description of the list's current row
    // The packet list of the search page ("N (date time)") and the last installed number.
    virtual void PacketsChanged(const QStringList& entries, int lastInstalled) = 0;
    virtual void SetTotalPreparations(int total) = 0;
    virtual int TotalPreparations() const = 0;
    virtual int LastInstalledPacket() const = 0;
    virtual int NewestAvailablePacket() const = 0;
    virtual bool BackgroundMode() const = 0;
    // The internet update window (modal).
    virtual void OpenInternetUpdate() = 0;
};

}  // namespace orv::app
