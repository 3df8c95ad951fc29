#pragma once
// The update window: the applied packets and the commands to update from the internet or from
// a chosen packet file. Shown modally from the main window's "Обновление".
#include <QDialog>
#include <functional>

class QPushButton;
class QTreeWidget;

namespace orv::app {

class PacketRunWindow;
class UpdateHost;

class UpdateWindow : public QDialog {
    Q_OBJECT
  public:
    UpdateWindow(UpdateHost& host, PacketRunWindow& engine, QWidget* parent = nullptr);

    // The open-file dialog (the standard one unless replaced, e.g. by tests); empty: cancelled.
    using FileChooser = std::function<QString(QWidget*)>;
    void SetFileChooser(FileChooser f) { chooser_ = std::move(f); }

    void Button2Click();  // "Обновить из файла..."
    void RefreshGrid();

    QTreeWidget* dxDBGrid1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    UpdateHost& host_;
    PacketRunWindow& engine_;
    FileChooser chooser_;
};

}  // namespace orv::app
