#pragma once
// "О программе": picture, titles, version and two links.
#include <QDialog>

class QLabel;

namespace orv::app {

inline constexpr const char* kProductAddress = "http://www.norvel.ru/orvanta";
inline constexpr const char* kSupportMail = "support@norvel.ru";

class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);
    QString VersionText() const;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    QLabel* version_;
};

}  // namespace orv::app
