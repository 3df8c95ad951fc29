#pragma once
// "Обновление из Интернета": the server's packets with their sizes and whether they are
// installed; "Скачать и обновить..." downloads every marked packet with the download window
// and installs them through the packet installer. In the background the same flow runs
// without showing the window and ends the program.
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {
class SettingsTarget;
class UpdateLock;
struct ProxySettings;
}  // namespace orv

namespace orv::app {

struct ProgramState;
class DownloadWindow;
class YesNoDialog;
class PacketInstaller;

// The proxy of the settings dialog's current values.
ProxySettings ProxyFromSettings(const SettingsTarget& settings);

class InetUpdateWindow : public QDialog {
    Q_OBJECT
  public:
    InetUpdateWindow(ProgramState& state, const SettingsTarget& settings, DownloadWindow& download,
                     YesNoDialog& yon, PacketInstaller& installer, QWidget* parent = nullptr);

    // Background: the show handler without a window; the list request, the download and
    // install and the end follow on their own. While a run is under way (unseen or shown) a
    // second one is not started: false then.
    bool RunUnseen();
    // A run is under way: the list, the downloads or the installs of this window.
    bool Busy() const { return session_; }

    void FormShow();
    void Timer1Timer();   // the list request
    void Button1Click();  // "Пометить все"
    void Button4Click();  // "Скачать и обновить..."
    void ApplyPackets();

    // Column 0 of an item: packet number, checked when marked.
    QTreeWidget* lv = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QStatusBar* sb = nullptr;
    QLabel* sbPanel0 = nullptr;
    QLabel* sbPanel1 = nullptr;
    QTimer Timer1;

    // The main window's status line ("Готово" after installing).
    std::function<void(const QString&)> showStatus;
    // Every text of the first status panel (background progress lines).
    std::function<void(const QString&)> progressLine;
    // A failure of a command: the standard error box unless replaced.
    std::function<void(const QString&)> reportError;
    // The list request failed: "Ошибка соединения с сервером." captioned "Внимание".
    std::function<void(const QString&)> reportConnectionError;
    // Background: the pass is complete.
    std::function<void()> endProgram;
    // Background: a line for the update log (each download with its bytes and seconds).
    std::function<void(const std::string&)> note;

  public slots:
    void reject() override;  // Esc: abort flag, window closed

  protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;  // sbResize

  private:
    void Status(const QString& text);
    bool Marked(QTreeWidgetItem* item) const;
    bool Installed(QTreeWidgetItem* item) const;  // "подгружен"
    void InstallFromDisk(QTreeWidgetItem* item, int number);
    // One run at a time, in this process and (through the update lock) across processes.
    bool BeginSession(bool unseen);
    void EndSession();

    ProgramState& state_;
    const SettingsTarget& settings_;
    DownloadWindow& download_;
    YesNoDialog& yon_;
    PacketInstaller& installer_;
    bool abort_ = false;
    bool requesting_ = false;
    bool session_ = false;
    bool unseen_ = false;
    std::shared_ptr<UpdateLock> lock_;
    long long expectedSize_ = 0;
};

}  // namespace orv::app
