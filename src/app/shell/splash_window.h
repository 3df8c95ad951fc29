#pragma once
// The start-up window: product picture, title and the loader's status lines.
#include <QWidget>

class QPlainTextEdit;
class QLabel;

namespace orv::app {

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SplashWindow(QWidget* parent = nullptr);

    // Appends a status line and repaints at once (start-up work is synchronous).
    void SplashStatus(const QString& text);
    QString StatusText() const;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    QPlainTextEdit* status_;
    QLabel* version_;
};

QPixmap ProductPicture();

}  // namespace orv::app
