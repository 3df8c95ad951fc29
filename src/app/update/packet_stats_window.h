#pragma once
// The packet statistics window: every applied packet with its date and the number of
// preparations it last changed, and the command to list those preparations.
#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace orv::app {

class UpdateHost;

class PacketStatsWindow : public QDialog {
    Q_OBJECT
  public:
    explicit PacketStatsWindow(UpdateHost& host, QWidget* parent = nullptr);

    // The tool-bar command: status text, hourglass, then the window, modal.
    void Open();
    void Button1Click();  // "Показать", also on double-click

    QLabel* Label1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void FormShow();

    UpdateHost& host_;
};

}  // namespace orv::app
