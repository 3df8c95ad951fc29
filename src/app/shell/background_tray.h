#pragma once
// The background run's presence on the desktop: a tray icon blinking between two pictures every
// second, with a right-click menu holding only "Закрыть". Where the desktop has no tray, the run
// writes its progress lines to standard error instead.
#include <QIcon>
#include <QObject>
#include <QTimer>
#include <functional>

class QMenu;
class QSystemTrayIcon;

namespace orv::app {

class BackgroundTray : public QObject {
    Q_OBJECT
  public:
    explicit BackgroundTray(QObject* parent = nullptr);
    ~BackgroundTray() override;

    // Adds the icon (when the desktop has a tray) and starts the blinking.
    void Start();
    bool HasTray() const { return tray_ != nullptr; }
    // A progress line: standard error where there is no tray.
    void Progress(const QString& line);

    // "Закрыть": the warning, and on OK the end of the process.
    void N33Click();
    int TrayIconIndex() const { return index_; }
    void IconTimerTimer();

    QTimer IconTimer;
    QMenu* pmTray = nullptr;
    // Ends the process at once (no close question, no settings saved).
    std::function<void()> endProcess;

  private:
    QIcon Picture(int index) const;

    QSystemTrayIcon* tray_ = nullptr;
    QIcon first_;
    QIcon second_;
    int index_ = 19;
};

// The two pictures of the blinking icon.
QIcon TrayPicture(bool second);

}  // namespace orv::app
