#pragma once
// Knows the program's own windows, so the main window can tell "a window of ours just closed"
// (the list goes back to its first row) from "the user came back from another program".
#include <QObject>

namespace orv::app {

class OwnWindows : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    void Register(QWidget* window);

  signals:
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace orv::app
