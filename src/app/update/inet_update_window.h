#pragma once
// "Обновление из Интернета": the server's packets with their sizes and whether they are
// installed; "Скачать и обновить..." downloads every marked packet with the download window
// and installs them through the packet installer. In the background the same flow runs
// without showing the window and ends the program.
#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace orv {
class SettingsTarget;
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
    // install and the end follow on their own.
    void RunUnseen();

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

  public slots:
    void reject() override;  // Esc: abort flag, window closed

  protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;  // sbResize

  private:
    void Status(const QString& text);
    bool Marked(QTreeWidgetItem* item) const;
    void InstallFromDisk(QTreeWidgetItem* item, int number);

    ProgramState& state_;
    const SettingsTarget& settings_;
    DownloadWindow& download_;
    YesNoDialog& yon_;
    PacketInstaller& installer_;
    bool abort_ = false;
    bool requesting_ = false;
    long long expectedSize_ = 0;
};

}  // namespace orv::app
